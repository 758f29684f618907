// ads_getvar and ads_setvar.
#include <cstdio>
#include <cstring>
#include <string_view>

#include "ads/ads_context.h"
#include "ads/resbuf_lists.h"
#include "db/viewports.h"
#include "db/layers.h"

using host::ads::theHost;

namespace {

// DBREVISION, read-only: which drawing is open and how many changes its
// records have seen, as text ("serial:revision"). Two equal values mean the
// same drawing with nothing made, changed or erased in between, so that an
// application may keep what it read from it instead of reading it again.
constexpr std::string_view kRevisionVariable = "DBREVISION";

void revisionText(const host::Database& db, struct resbuf* result) {
    char text[48];
    std::snprintf(text, sizeof text, "%llu:%llu", static_cast<unsigned long long>(db.serial()),
                  static_cast<unsigned long long>(db.revision()));
    result->restype = RTSTR;
    result->resval.rstring = acad__strdup(text);
}

}  // namespace

extern "C" {

int ads_getvar(const char* name, struct resbuf* result) {
    if (!theHost() || !name || !result) return RTERROR;
    if (host::namesEqual(name, kRevisionVariable)) {
        revisionText(theHost()->db(), result);
        return result->resval.rstring ? RTNORM : RTERROR;
    }
    const host::SystemVariable* v = theHost()->db().variables().find(name);
    if (!v) return RTERROR;
    switch (v->type) {
    case host::VarType::Short:
        result->restype = RTSHORT;
        result->resval.rint = static_cast<short>(std::get<long long>(v->value));
        break;
    case host::VarType::Long:
        result->restype = RTLONG;
        result->resval.rlong = static_cast<int32_t>(std::get<long long>(v->value));
        break;
    case host::VarType::Real:
        result->restype = RTREAL;
        result->resval.rreal = std::get<double>(v->value);
        break;
    case host::VarType::Text:
        result->restype = RTSTR;
        result->resval.rstring = acad__strdup(std::get<std::string>(v->value).c_str());
        break;
    case host::VarType::Point2:
    case host::VarType::Point3: {
        result->restype = v->type == host::VarType::Point2 ? RTPOINT : RT3DPOINT;
        const auto& p = std::get<std::array<double, 3>>(v->value);
        std::memcpy(result->resval.rpoint, p.data(), sizeof result->resval.rpoint);
        break;
    }
    }
    return RTNORM;
}

int ads_setvar(const char* name, const struct resbuf* value) {
    if (!theHost() || !name || !value) return RTERROR;
    host::Host& h = *theHost();
    host::SystemVariables& vars = h.db().variables();
    host::SystemVariable* v = vars.find(name);
    if (!v || v->readOnly) return RTERROR;
    std::string upper = host::upperName(name);
    switch (v->type) {
    case host::VarType::Short:
    case host::VarType::Long: {
        long long n = 0;
        if (value->restype == RTSHORT) n = value->resval.rint;
        else if (value->restype == RTLONG) n = value->resval.rlong;
        else return RTERROR;
        if (upper == "TILEMODE") {
            if (n != 0 && n != 1) return RTERROR;
            host::setTileMode(h.db(), static_cast<int>(n));
            return RTNORM;
        }
        return vars.setInteger(upper, n) ? RTNORM : RTERROR;
    }
    case host::VarType::Real:
        if (value->restype == RTREAL) return vars.setReal(upper, value->resval.rreal) ? RTNORM : RTERROR;
        if (value->restype == RTSHORT) return vars.setReal(upper, value->resval.rint) ? RTNORM : RTERROR;
        return RTERROR;
    case host::VarType::Text: {
        if (value->restype != RTSTR || !value->resval.rstring) return RTERROR;
        if (upper == "CLAYER") return host::setCurrentLayer(h.db(), value->resval.rstring) ? RTNORM : RTERROR;
        return vars.setText(upper, value->resval.rstring) ? RTNORM : RTERROR;
    }
    case host::VarType::Point2:
    case host::VarType::Point3:
        if (value->restype != RTPOINT && value->restype != RT3DPOINT) return RTERROR;
        return vars.setPoint(upper, {value->resval.rpoint[0], value->resval.rpoint[1],
                                     value->restype == RTPOINT ? 0.0 : value->resval.rpoint[2]})
                   ? RTNORM
                   : RTERROR;
    }
    return RTERROR;
}

}  // extern "C"
