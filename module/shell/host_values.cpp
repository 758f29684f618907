#include "shell/host_values.h"

#include <cstring>

namespace zan {

std::optional<std::string> textVariable(const char* name) {
    resbuf value{};
    if (ads_getvar(name, &value) != RTNORM || value.restype != RTSTR || !value.resval.rstring) return std::nullopt;
    std::string text = value.resval.rstring;
    acad_free(value.resval.rstring);
    return text;
}

const char* groupText(const resbuf* list, int code) {
    for (; list; list = list->rbnext)
        if (list->restype == code) return list->resval.rstring;
    return nullptr;
}

bool storeItemText(resbuf* item, std::string_view text) {
    if (!item) return false;
    std::size_t stored = item->resval.rstring ? std::strlen(item->resval.rstring) : 0;
    if (text.size() > stored || !item->resval.rstring) {
        char* grown = static_cast<char*>(acad_realloc(item->resval.rstring, text.size() + 1));
        if (!grown) return false;
        item->resval.rstring = grown;
    }
    std::memcpy(item->resval.rstring, text.data(), text.size());
    item->resval.rstring[text.size()] = '\0';
    return true;
}

}  // namespace zan
