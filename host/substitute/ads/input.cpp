// Input from the user: strings, numbers, points, keywords and picked
// entities. A script line "^C" cancels, like the Escape key.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <sstream>

#include "ads/ads_context.h"
#include "ads/input_reading.h"
#include "ads/resbuf_lists.h"
#include "core/command_processor.h"
#include "core/selection_sets.h"

using host::ads::theHost;
using namespace host::ads;

namespace {

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

}  // extern "C"
