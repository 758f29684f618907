// The open drawing of a host as the renderer reads it: its database and the
// highlighting applications and selections leave on entities.
#pragma once

#include "core/host.h"
#include "drawing_source.h"

namespace zan::app {

class HostDrawing final : public render::DrawingSource {
public:
    explicit HostDrawing(host::Host& host) : host_(host) {}
    const host::Database& database() const override { return host_.db(); }
    bool highlighted(host::RecordId entity) const override;

private:
    host::Host& host_;
};

}  // namespace zan::app
