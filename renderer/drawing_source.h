// What the renderer reads of a drawing: the database (through the host's
// geometry core) and the display state the host keeps for entities. The
// renderer never changes the drawing; a desktop view and a plot hand it the
// same source.
#pragma once

#include "db/database.h"

namespace zan::render {

class DrawingSource {
public:
    virtual ~DrawingSource() = default;
    virtual const host::Database& database() const = 0;
    // Whether the entity is shown highlighted (selected, or highlighted by an
    // application).
    virtual bool highlighted(host::RecordId entity) const = 0;
};

// A database alone: nothing is highlighted.
class DatabaseSource final : public DrawingSource {
public:
    explicit DatabaseSource(const host::Database& db) : db_(db) {}
    const host::Database& database() const override { return db_; }
    bool highlighted(host::RecordId) const override { return false; }

private:
    const host::Database& db_;
};

}  // namespace zan::render
