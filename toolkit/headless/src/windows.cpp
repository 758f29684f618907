// Windows of the headless backend: records, geometry, showing, painting
// into pixel buffers, composing window images, system commands and close
// requests.
#include <algorithm>

#include "pixel_canvas.h"
#include "state.h"
#include "shared.h"

namespace tk::headless {
namespace {


constexpr tk::Color kBackground = tk::rgb(192, 192, 192);
constexpr tk::Color kFrame = tk::rgb(128, 128, 128);
constexpr tk::Color kCaptionBar = tk::rgb(0, 0, 128);
constexpr tk::Color kBorder = tk::rgb(0, 0, 0);

int clampSize(int v) { return std::clamp(v, 0, HeadlessPlatform::kMaxWindowSize); }

std::string geometry(const tk::Rect& r, tk::Size client) {
    return "at " + std::to_string(r.left) + "," + std::to_string(r.top) + " size " + std::to_string(r.width()) + "x" +
           std::to_string(r.height()) + " client " + std::to_string(client.width) + "x" +
           std::to_string(client.height);
}

}  // namespace

WindowRecord* HeadlessPlatform::State::find(WindowId id) {
    auto it = windows.find(id);
    return it == windows.end() ? nullptr : it->second.get();
}

WindowRecord& HeadlessPlatform::State::add(WindowKind kind) {
    auto record = std::make_unique<WindowRecord>();
    record->id = nextId++;
    record->kind = kind;
    WindowRecord& r = *record;
    windows.emplace(r.id, std::move(record));
    return r;
}

std::string HeadlessPlatform::State::tag(const WindowRecord& r) {
    switch (r.kind) {
        case WindowKind::Popup: return "[tool " + std::to_string(r.number) + "]";
        case WindowKind::Dialog: return "[dialog " + std::to_string(r.dialog ? r.dialog->resourceId() : 0) + "]";
        case WindowKind::Child: return "[child " + std::to_string(r.childId) + "]";
        case WindowKind::External: return "[window]";
    }
    return "[window]";
}

void HeadlessPlatform::State::emitTool(const WindowRecord& r, const std::string& what) {
    if (r.kind == WindowKind::Popup || r.kind == WindowKind::Dialog) emit(tag(r) + " " + what);
}

tk::Rect HeadlessPlatform::State::nonClient(unsigned style) {
    if ((style & tk::WS_CAPTION) == tk::WS_CAPTION)
        return {HeadlessPlatform::kFrameWidth, HeadlessPlatform::kFrameWidth + HeadlessPlatform::kCaptionHeight, HeadlessPlatform::kFrameWidth,
                HeadlessPlatform::kFrameWidth};
    if ((style & tk::WS_CAPTION) != 0 && (style & tk::WS_BORDER) == 0)
        return {HeadlessPlatform::kFrameWidth, HeadlessPlatform::kFrameWidth, HeadlessPlatform::kFrameWidth, HeadlessPlatform::kFrameWidth};
    if ((style & tk::WS_BORDER) != 0)
        return {HeadlessPlatform::kBorderWidth, HeadlessPlatform::kBorderWidth, HeadlessPlatform::kBorderWidth, HeadlessPlatform::kBorderWidth};
    return {};
}

tk::Size HeadlessPlatform::State::clientSize(const WindowRecord& r) const {
    tk::Rect nc = nonClient(r.style);
    return {std::max(0, r.rect.width() - nc.left - nc.right), std::max(0, r.rect.height() - nc.top - nc.bottom)};
}

tk::Point HeadlessPlatform::State::clientOriginOnScreen(const WindowRecord& r) {
    tk::Rect screen = screenRect(r);
    tk::Rect nc = nonClient(r.style);
    return {screen.left + nc.left, screen.top + nc.top};
}

tk::Rect HeadlessPlatform::State::screenRect(const WindowRecord& r) {
    if (r.kind != WindowKind::Child) return r.rect;
    WindowRecord* parent = find(r.parent);
    if (parent == nullptr) return r.rect;
    tk::Point origin = clientOriginOnScreen(*parent);
    return r.rect.offsetBy(origin.x, origin.y);
}

HWND HeadlessPlatform::State::createWindow(const tk::WindowSpec& spec, tk::WindowHandler* handler) {
    const bool child = (spec.style & tk::WS_CHILD) != 0;
    WindowRecord* parent = spec.parent != nullptr ? find(spec.parent) : nullptr;
    if (spec.parent != nullptr && parent == nullptr) return nullptr;
    if (child && (parent == nullptr || (parent->kind != WindowKind::Popup && parent->kind != WindowKind::Child)))
        return nullptr;
    WindowRecord& r = add(child ? WindowKind::Child : WindowKind::Popup);
    r.style = spec.style;
    r.parent = parent != nullptr ? parent->id : 0;
    r.caption = spec.caption;
    r.initialCaption = spec.caption;
    r.rect = tk::Rect::fromSize(spec.rect.left, spec.rect.top, clampSize(spec.rect.width()),
                                clampSize(spec.rect.height()));
    r.visible = (spec.style & tk::WS_VISIBLE) != 0;
    r.handler = handler;
    r.childId = spec.childId;
    r.role = spec.role;
    r.dirty = true;
    if (child) {
        parent->children.push_back(r.id);
    } else {
        r.number = nextToolNumber++;
        activate(r);
        emit(tag(r) + " open " + text::quote(r.caption) + " " + geometry(r.rect, clientSize(r)) +
             (r.visible ? "" : " hidden"));
    }
    return handleOf(r.id);
}

void HeadlessPlatform::State::destroy(WindowId id, int dialogEndCode) {
    WindowRecord* r = find(id);
    if (r == nullptr) return;
    // Children first, then windows this one owns.
    for (WindowId childId : std::vector<WindowId>(r->children)) destroy(childId, tk::IDCANCEL);
    std::vector<WindowId> owned;
    for (const auto& [otherId, other] : windows)
        if (other->parent == id && other->kind != WindowKind::Child) owned.push_back(otherId);
    for (WindowId ownedId : owned) destroy(ownedId, tk::IDCANCEL);

    r = find(id);
    if (r == nullptr) return;
    if (r->kind == WindowKind::Child) {
        if (WindowRecord* parent = find(r->parent); parent != nullptr)
            std::erase(parent->children, id);
    }
    if (r->kind == WindowKind::Popup) emit(tag(*r) + " close");
    if (r->kind == WindowKind::Dialog) emit(tag(*r) + " close " + std::to_string(dialogEndCode));
    if (focus == id) focus = 0;

    auto node = windows.extract(id);
    std::unique_ptr<WindowRecord> gone = std::move(node.mapped());
    // The handler hears last; it may delete itself.
    if (gone->handler != nullptr) gone->handler->windowDestroyed();
    if (gone->dialogHandler != nullptr) gone->dialogHandler->dialogDestroyed(dialogEndCode);
}

bool HeadlessPlatform::State::setWindowPos(WindowRecord& r, int x, int y, int width, int height, unsigned flags) {
    tk::Rect next = r.rect;
    if ((flags & tk::SWP_NOMOVE) == 0) next = tk::Rect::fromSize(x, y, next.width(), next.height());
    if ((flags & tk::SWP_NOSIZE) == 0)
        next = tk::Rect::fromSize(next.left, next.top, clampSize(width), clampSize(height));
    if (next == r.rect) return true;
    bool resized = next.width() != r.rect.width() || next.height() != r.rect.height();
    r.rect = next;
    if (resized) markDirty(r);
    if (r.kind == WindowKind::Popup) emitTool(r, geometry(r.rect, clientSize(r)));
    return true;
}

bool HeadlessPlatform::State::showWindow(WindowRecord& r, tk::ShowCommand command) {
    const bool wasVisible = r.visible;
    const ShowState wasState = r.show;
    switch (command) {
        case tk::SW_HIDE: r.visible = false; break;
        case tk::SW_SHOW: r.visible = true; break;
        case tk::SW_SHOWNORMAL:
        case tk::SW_RESTORE:
            r.visible = true;
            if (r.show == ShowState::Maximized) r.rect = r.restoreRect;
            r.show = ShowState::Normal;
            break;
        case tk::SW_MINIMIZE: r.show = ShowState::Minimized; break;
        case tk::SW_SHOWMINIMIZED:
            r.visible = true;
            r.show = ShowState::Minimized;
            break;
        case tk::SW_SHOWMAXIMIZED:
            r.visible = true;
            if (r.show != ShowState::Maximized) {
                r.restoreRect = r.rect;
                r.rect = tk::Rect::fromSize(0, 0, HeadlessPlatform::kScreenWidth, HeadlessPlatform::kScreenHeight);
            }
            r.show = ShowState::Maximized;
            break;
        default: return false;
    }
    if (r.visible && r.kind == WindowKind::Dialog && command != tk::SW_MINIMIZE) activate(r);
    if (r.visible != wasVisible || r.show != wasState) {
        markDirty(r);
        if (r.show != wasState) {
            emitTool(r, r.show == ShowState::Minimized   ? "minimized"
                        : r.show == ShowState::Maximized ? "maximized " + geometry(r.rect, clientSize(r))
                                                         : "restored " + geometry(r.rect, clientSize(r)));
        } else {
            emitTool(r, r.visible ? "shown" : "hidden");
        }
    }
    return true;
}

void HeadlessPlatform::State::markDirty(WindowRecord& r) {
    r.dirty = true;
    for (WindowId childId : r.children)
        if (WindowRecord* c = find(childId); c != nullptr) c->dirty = true;
}

void HeadlessPlatform::State::paintPending() {
    std::vector<WindowId> ids;
    for (const auto& [id, r] : windows)
        if (r->dirty && (r->kind == WindowKind::Popup || r->kind == WindowKind::Child)) ids.push_back(id);
    for (WindowId id : ids) {
        WindowRecord* r = find(id);
        if (r == nullptr || !r->dirty || !r->visible) continue;
        tk::Size size = clientSize(*r);
        tk::Bitmap pixels(std::min(size.width, HeadlessPlatform::kMaxPixelSize), std::min(size.height, HeadlessPlatform::kMaxPixelSize),
                          kBackground);
        r->dirty = false;
        if (r->handler != nullptr) {
            // Painted into a buffer of its own, so that a handler that
            // destroys windows while painting leaves nothing dangling.
            PixelCanvas canvas(pixels, size);
            r->handler->onPaint(canvas);
        }
        if (WindowRecord* still = find(id); still != nullptr) still->pixels = std::move(pixels);
    }
}

namespace {

// Copies `r`'s client area and its visible children into `out` with the
// client origin at `origin`, clipped to `clip`.
void blitClient(HeadlessPlatform::State& s, const WindowRecord& r, tk::Bitmap& out, tk::Point origin, tk::Rect clip) {
    tk::Size size = s.clientSize(r);
    clip = {std::max(clip.left, origin.x), std::max(clip.top, origin.y), std::min(clip.right, origin.x + size.width),
            std::min(clip.bottom, origin.y + size.height)};
    for (int y = clip.top; y < clip.bottom; ++y)
        for (int x = clip.left; x < clip.right; ++x) {
            int sx = x - origin.x, sy = y - origin.y;
            out.set(x, y, r.pixels.contains(sx, sy) ? r.pixels.at(sx, sy) : kBackground);
        }
    for (WindowId childId : r.children) {
        const WindowRecord* c = s.find(childId);
        if (c == nullptr || !c->visible) continue;
        tk::Rect area = c->rect.offsetBy(origin.x, origin.y);
        tk::Rect nc = HeadlessPlatform::State::nonClient(c->style);
        for (int y = std::max(area.top, clip.top); y < std::min(area.bottom, clip.bottom); ++y)
            for (int x = std::max(area.left, clip.left); x < std::min(area.right, clip.right); ++x) out.set(x, y, kBorder);
        blitClient(s, *c, out, {area.left + nc.left, area.top + nc.top}, clip);
    }
}

}  // namespace

std::optional<tk::Bitmap> HeadlessPlatform::State::compose(WindowId id, bool withFrame) {
    paintPending();
    WindowRecord* r = find(id);
    if (r == nullptr || (r->kind != WindowKind::Popup && r->kind != WindowKind::Child)) return std::nullopt;
    tk::Rect nc = withFrame ? nonClient(r->style) : tk::Rect{};
    tk::Size size = withFrame ? tk::Size{r->rect.width(), r->rect.height()} : clientSize(*r);
    tk::Bitmap out(std::min(size.width, HeadlessPlatform::kMaxPixelSize), std::min(size.height, HeadlessPlatform::kMaxPixelSize),
                   withFrame ? (nc.left == HeadlessPlatform::kBorderWidth ? kBorder : kFrame) : kBackground);
    if (withFrame && nc.top > nc.left) {
        for (int y = nc.left; y < nc.top && y < out.height; ++y)
            for (int x = nc.left; x < out.width - nc.right; ++x) out.set(x, y, kCaptionBar);
    }
    blitClient(*this, *r, out, {nc.left, nc.top}, {0, 0, out.width, out.height});
    return out;
}

void HeadlessPlatform::State::systemCommand(WindowId id, unsigned command) {
    WindowRecord* r = find(id);
    if (r == nullptr) return;
    bool handled = r->handler != nullptr && r->handler->onSystemCommand(command);
    r = find(id);
    if (handled || r == nullptr) return;
    switch (command) {
        case tk::SC_CLOSE: closeRequest(id); break;
        case tk::SC_MINIMIZE: showWindow(*r, tk::SW_MINIMIZE); break;
        case tk::SC_MAXIMIZE: showWindow(*r, tk::SW_SHOWMAXIMIZED); break;
        case tk::SC_RESTORE: showWindow(*r, tk::SW_RESTORE); break;
        default: break;
    }
}

void HeadlessPlatform::State::closeRequest(WindowId id) {
    WindowRecord* r = find(id);
    if (r == nullptr) return;
    switch (r->kind) {
        case WindowKind::External:
            if (r->sink != nullptr) r->sink->onCloseRequest();
            break;
        case WindowKind::Dialog: dialogEvent(id, [](tk::DialogHandler& h) { h.onCancel(); }); break;
        case WindowKind::Popup:
        case WindowKind::Child: {
            bool handled = r->handler != nullptr && r->handler->onClose();
            if (!handled) destroy(id, 0);
            break;
        }
    }
}

void HeadlessPlatform::State::deliverPosted() {
    while (!postedCloses.empty()) {
        WindowId id = postedCloses.front();
        postedCloses.pop_front();
        closeRequest(id);
    }
    paintPending();
}

std::vector<WindowRecord*> HeadlessPlatform::State::toolWindows() {
    std::vector<WindowRecord*> out;
    for (const auto& [id, r] : windows)
        if (r->kind == WindowKind::Popup) out.push_back(r.get());
    return out;
}

}  // namespace tk::headless
