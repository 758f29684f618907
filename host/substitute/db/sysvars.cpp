#include "db/sysvars.h"

#include "db/record.h"

namespace host {

SystemVariables::SystemVariables() {
    using P = std::array<double, 3>;
    define("ACADVER", VarType::Text, std::string("AC1027"), true, true);
    define("CMDECHO", VarType::Short, 1LL, false);
    define("CLAYER", VarType::Text, std::string("0"), true);
    define("CELTYPE", VarType::Text, std::string("BYLAYER"), true);
    define("CECOLOR", VarType::Short, 256LL, true);
    define("TILEMODE", VarType::Short, 1LL, true);
    define("SAVETIME", VarType::Short, 10LL, false);
    define("HANDLES", VarType::Short, 1LL, false);
    define("REGENMODE", VarType::Short, 1LL, true);
    define("OSMODE", VarType::Short, 0LL, false);
    define("ERRNO", VarType::Short, 0LL, false);
    define("CVPORT", VarType::Short, 2LL, false);
    define("EXPERT", VarType::Short, 0LL, false);
    define("PICKSTYLE", VarType::Short, 1LL, false);
    define("ATTREQ", VarType::Short, 1LL, false);
    define("ATTDIA", VarType::Short, 0LL, false);
    define("FILEDIA", VarType::Short, 1LL, false);
    define("HIGHLIGHT", VarType::Short, 1LL, false);
    define("INSBASE", VarType::Point3, P{0, 0, 0}, true);
    define("INSNAME", VarType::Text, std::string(""), false);
    define("LASTPOINT", VarType::Point3, P{0, 0, 0}, false);
    define("VIEWCTR", VarType::Point3, P{0, 0, 0}, false);
    define("VIEWSIZE", VarType::Real, 1.0, false);
    define("VIEWDIR", VarType::Point3, P{0, 0, 1}, false);
    define("UCSNAME", VarType::Text, std::string(""), true);
    define("UCSORG", VarType::Point3, P{0, 0, 0}, true);
    define("UCSXDIR", VarType::Point3, P{1, 0, 0}, true);
    define("UCSYDIR", VarType::Point3, P{0, 1, 0}, true);
    define("DWGNAME", VarType::Text, std::string("Drawing1.dwg"), false, true);
    define("DWGPREFIX", VarType::Text, std::string(""), false, true);
    define("TEXTSIZE", VarType::Real, 0.2, true);
    define("LTSCALE", VarType::Real, 1.0, true);
    define("PLINEWID", VarType::Real, 0.0, true);
    define("OFFSETDIST", VarType::Real, 1.0, false);
    define("DIMSCALE", VarType::Real, 1.0, true);
    define("INSUNITS", VarType::Short, 0LL, true);
}

void SystemVariables::define(std::string name, VarType type, VarValue value, bool inHeader, bool readOnly) {
    SystemVariable v{name, type, std::move(value), inHeader, readOnly};
    vars_.emplace(std::move(name), std::move(v));
}

SystemVariable* SystemVariables::find(std::string_view name) {
    auto it = vars_.find(upperName(name));
    return it == vars_.end() ? nullptr : &it->second;
}

const SystemVariable* SystemVariables::find(std::string_view name) const {
    auto it = vars_.find(upperName(name));
    return it == vars_.end() ? nullptr : &it->second;
}

long long SystemVariables::integer(std::string_view name, long long fallback) const {
    const SystemVariable* v = find(name);
    if (!v) return fallback;
    if (auto* i = std::get_if<long long>(&v->value)) return *i;
    return fallback;
}

double SystemVariables::real(std::string_view name, double fallback) const {
    const SystemVariable* v = find(name);
    if (!v) return fallback;
    if (auto* d = std::get_if<double>(&v->value)) return *d;
    return fallback;
}

std::string SystemVariables::text(std::string_view name) const {
    const SystemVariable* v = find(name);
    if (!v) return {};
    if (auto* s = std::get_if<std::string>(&v->value)) return *s;
    return {};
}

std::array<double, 3> SystemVariables::point(std::string_view name) const {
    const SystemVariable* v = find(name);
    if (v)
        if (auto* p = std::get_if<std::array<double, 3>>(&v->value)) return *p;
    return {0, 0, 0};
}

bool SystemVariables::setInteger(std::string_view name, long long value) {
    SystemVariable* v = find(name);
    if (!v || !std::holds_alternative<long long>(v->value)) return false;
    if (v->type == VarType::Short && (value < -32768 || value > 32767)) return false;
    v->value = value;
    return true;
}

bool SystemVariables::setReal(std::string_view name, double value) {
    SystemVariable* v = find(name);
    if (!v || !std::holds_alternative<double>(v->value)) return false;
    v->value = value;
    return true;
}

bool SystemVariables::setText(std::string_view name, std::string value) {
    SystemVariable* v = find(name);
    if (!v || !std::holds_alternative<std::string>(v->value)) return false;
    v->value = std::move(value);
    return true;
}

bool SystemVariables::setPoint(std::string_view name, std::array<double, 3> value) {
    SystemVariable* v = find(name);
    if (!v || !std::holds_alternative<std::array<double, 3>>(v->value)) return false;
    v->value = value;
    return true;
}

}  // namespace host
