// Input from the user: strings, numbers, points, keywords and picked
// entities. A script line "^C" cancels, like the Escape key.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <sstream>

#include "ads/ads_context.h"
#include "ads/resbuf_lists.h"
#include "core/command_processor.h"
#include "core/selection_sets.h"

using host::ads::theHost;

namespace {

enum class Outcome { Value, None, Keyword, Cancel };

struct Reading {
    Outcome outcome;
    std::string text;
};

std::vector<std::string> splitKeywords(const std::string& list) {
    std::vector<std::string> words;
    std::istringstream in(list);
    std::string word;
    while (in >> word) {
        // "Display_Open" style aliases: the first part is the local keyword.
        words.push_back(word.substr(0, word.find('_')));
    }
    return words;
}

// The keyword `typed` stands for, if any: an exact match, or an
// abbreviation that covers the keyword's leading capitals.
std::optional<std::string> matchKeyword(const std::string& typed, const std::vector<std::string>& keywords) {
    if (typed.empty()) return std::nullopt;
    for (const std::string& k : keywords)
        if (host::namesEqual(typed, k)) return k;
    for (const std::string& k : keywords) {
        std::size_t capitals = 0;
        while (capitals < k.size() && k[capitals] >= 'A' && k[capitals] <= 'Z') ++capitals;
        if (typed.size() >= std::max<std::size_t>(capitals, 1) && typed.size() <= k.size() &&
            host::namesEqual(typed, std::string_view(k).substr(0, typed.size())))
            return k;
    }
    return std::nullopt;
}

// Reads one input at `prompt` honouring the last ads_initget: Enter is
// RTNONE unless refused, keywords give RTKWORD, "^C" or the end of input
// cancels. `accept` checks a value and prints why it is refused.
template <typename Accept>
Reading readInput(const char* prompt, bool allowSpaces, Accept accept) {
    host::Host& h = *theHost();
    host::Host::InputControl control = h.takeInputControl();
    std::vector<std::string> keywords;
    for (const std::string& k : control.keywords) keywords.push_back(k);
    while (true) {
        std::optional<std::string> typed = h.commandLine().read(prompt ? prompt : "", allowSpaces);
        if (!typed || *typed == "^C") {
            if (typed) h.print("*Cancel*\n");
            return {Outcome::Cancel, {}};
        }
        if (typed->empty()) {
            if (control.flags & RSG_NONULL) {
                h.print("Requires a value.\n");
                continue;
            }
            return {Outcome::None, {}};
        }
        if (auto k = matchKeyword(*typed, keywords)) {
            h.lastKeyword() = *k;
            return {Outcome::Keyword, *k};
        }
        if (accept(*typed, control.flags)) return {Outcome::Value, *typed};
        if (control.flags & RSG_OTHER) {
            h.lastKeyword() = *typed;
            return {Outcome::Keyword, *typed};
        }
    }
}

int statusOf(Outcome o) {
    switch (o) {
    case Outcome::Value: return RTNORM;
    case Outcome::None: return RTNONE;
    case Outcome::Keyword: return RTKWORD;
    case Outcome::Cancel: return RTCAN;
    }
    return RTERROR;
}

bool checkNumber(double value, int flags) {
    if ((flags & RSG_NOZERO) && value == 0) {
        theHost()->print("Value must be nonzero.\n");
        return false;
    }
    if ((flags & RSG_NONEG) && value < 0) {
        theHost()->print("Value must be positive.\n");
        return false;
    }
    return true;
}

}  // namespace

extern "C" {

int ads_initget(int flags, const char* keywords) {
    if (!theHost()) return RTERROR;
    host::Host::InputControl control;
    control.flags = flags;
    if (keywords) control.keywords = splitKeywords(keywords);
    theHost()->setInputControl(std::move(control));
    return RTNORM;
}

int ads_getinput(char* result) {
    if (!theHost() || !result) return RTERROR;
    std::string& k = theHost()->lastKeyword();
    std::size_t n = std::min<std::size_t>(k.size(), ADS_MAX_STRING - 1);
    std::memcpy(result, k.data(), n);
    result[n] = '\0';
    return RTNORM;
}

int ads_getstring(int allowSpaces, const char* prompt, char* result) {
    if (!theHost() || !result) return RTERROR;
    theHost()->takeInputControl();  // keywords do not apply to strings
    std::optional<std::string> typed = theHost()->commandLine().read(prompt ? prompt : "", allowSpaces != 0);
    if (!typed || *typed == "^C") return RTCAN;
    // The caller's buffer holds at most ADS_MAX_STRING bytes.
    std::size_t n = std::min<std::size_t>(typed->size(), ADS_MAX_STRING - 1);
    std::memcpy(result, typed->data(), n);
    result[n] = '\0';
    return RTNORM;
}

int ads_getint(const char* prompt, int* result) {
    if (!theHost()) return RTERROR;
    long value = 0;
    Reading r = readInput(prompt, false, [&](const std::string& text, int flags) {
        auto v = host::parseInt(text);
        if (!v || *v < -32768 || *v > 32767) {
            theHost()->print("Requires an integer value.\n");
            return false;
        }
        value = static_cast<long>(*v);
        return checkNumber(static_cast<double>(value), flags);
    });
    if (r.outcome == Outcome::Value && result) *result = static_cast<int>(value);
    return statusOf(r.outcome);
}

int ads_getreal(const char* prompt, ads_real* result) {
    if (!theHost()) return RTERROR;
    double value = 0;
    Reading r = readInput(prompt, false, [&](const std::string& text, int flags) {
        auto v = host::parseReal(text);
        if (!v || !std::isfinite(*v)) {
            theHost()->print("Requires numeric value.\n");
            return false;
        }
        value = *v;
        return checkNumber(value, flags);
    });
    if (r.outcome == Outcome::Value && result) *result = value;
    return statusOf(r.outcome);
}

int ads_getpoint(const ads_point base, const char* prompt, ads_point result) {
    if (!theHost()) return RTERROR;
    std::array<double, 3> last = theHost()->db().variables().point("LASTPOINT");
    std::array<double, 3> from = base ? std::array<double, 3>{base[0], base[1], base[2]} : last;
    std::array<double, 3> value{};
    Reading r = readInput(prompt, false, [&](const std::string& text, int) {
        auto p = host::parsePointText(text, &from);
        if (!p) {
            theHost()->print("Invalid point.\n");
            return false;
        }
        value = *p;
        return true;
    });
    if (r.outcome == Outcome::Value) {
        theHost()->db().variables().setPoint("LASTPOINT", value);
        if (result) {
            result[0] = value[0];
            result[1] = value[1];
            result[2] = value[2];
        }
    }
    return statusOf(r.outcome);
}

int ads_getcorner(const ads_point base, const char* prompt, ads_point result) {
    return ads_getpoint(base, prompt, result);
}

int ads_getdist(const ads_point base, const char* prompt, ads_real* result) {
    if (!theHost()) return RTERROR;
    double value = 0;
    Reading r = readInput(prompt, false, [&](const std::string& text, int flags) {
        if (auto v = host::parseReal(text)) {
            value = *v;
            return checkNumber(value, flags);
        }
        if (base) {
            std::array<double, 3> from{base[0], base[1], base[2]};
            if (auto p = host::parsePointText(text, &from)) {
                value = std::hypot((*p)[0] - base[0], (*p)[1] - base[1]);
                return checkNumber(value, flags);
            }
        }
        theHost()->print("Requires numeric distance or two points.\n");
        return false;
    });
    if (r.outcome == Outcome::Value && result) *result = value;
    return statusOf(r.outcome);
}

int ads_getkword(const char* prompt, char* result) {
    if (!theHost()) return RTERROR;
    host::Host::InputControl control = theHost()->takeInputControl();
    std::vector<std::string> keywords = control.keywords;
    while (true) {
        std::optional<std::string> typed = theHost()->commandLine().read(prompt ? prompt : "", false);
        if (!typed || *typed == "^C") return RTCAN;
        if (typed->empty() && !(control.flags & RSG_NONULL)) return RTNONE;
        if (auto k = matchKeyword(*typed, keywords)) {
            if (result) {
                std::size_t n = std::min<std::size_t>(k->size(), ADS_MAX_STRING - 1);
                std::memcpy(result, k->data(), n);
                result[n] = '\0';
            }
            return RTNORM;
        }
        theHost()->print("Invalid option keyword.\n");
    }
}

int ads_entsel(const char* prompt, ads_name entity, ads_point pickPoint) {
    if (!theHost()) return RTERROR;
    host::Host& h = *theHost();
    std::array<double, 3> point{};
    Reading r = readInput(prompt ? prompt : "\nSelect object: ", false, [&](const std::string& text, int) {
        auto p = host::parsePointText(text);
        if (!p) {
            h.print("Invalid point.\n");
            return false;
        }
        point = *p;
        return true;
    });
    if (r.outcome == Outcome::Keyword) return RTKWORD;
    if (r.outcome == Outcome::Cancel) return RTCAN;
    if (r.outcome == Outcome::None) {
        h.db().variables().setInteger("ERRNO", 52);
        return RTERROR;
    }
    host::RecordId id = host::pickEntity(h.db(), h.paperSpaceCurrent(), point[0], point[1], nullptr);
    if (id == host::kNoRecord) {
        h.db().variables().setInteger("ERRNO", 7);
        return RTERROR;
    }
    if (entity) host::makeName(h.db(), id, entity);
    if (pickPoint) {
        pickPoint[0] = point[0];
        pickPoint[1] = point[1];
        pickPoint[2] = point[2];
    }
    return RTNORM;
}

}  // extern "C"
