// Views: the current view of a drawing and what a paper space viewport
// shows of model space (plan views; a view twist is not applied).
#pragma once

#include "db/database.h"
#include "geometry/shape.h"

namespace host {

// Takes the drawing's saved view (its *ACTIVE viewport table entry: centre
// and height) as the current one, VIEWCTR and VIEWSIZE.
void applySavedView(Database& db);

// A viewport's frame on the paper.
Box viewportPaperBox(const Record& viewport);
// The model space area it shows: centred on its view centre, as high as its
// view height, as wide as its frame's proportions make it.
Box viewportModelBox(const Record& viewport);
// The matrix taking paper space points inside the frame to the model space
// points they show.
Matrix paperToModel(const Record& viewport);

}  // namespace host
