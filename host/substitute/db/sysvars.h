// The host's system variables: name, type and value. Variables that a DXF
// header holds ($CLAYER, $TILEMODE, ...) are written back to it.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace host {

enum class VarType { Short, Long, Real, Text, Point2, Point3 };

using VarValue = std::variant<long long, double, std::string, std::array<double, 3>>;

struct SystemVariable {
    std::string name;  // upper case, without "$"
    VarType type = VarType::Short;
    VarValue value;
    bool inHeader = false;  // written to the DXF header as $NAME
    bool readOnly = false;
};

class SystemVariables {
public:
    SystemVariables();  // the host's variables with their defaults

    SystemVariable* find(std::string_view name);
    const SystemVariable* find(std::string_view name) const;

    long long integer(std::string_view name, long long fallback = 0) const;
    double real(std::string_view name, double fallback = 0) const;
    std::string text(std::string_view name) const;
    std::array<double, 3> point(std::string_view name) const;

    // Setting keeps the variable's type; false when unknown or of another kind.
    bool setInteger(std::string_view name, long long value);
    bool setReal(std::string_view name, double value);
    bool setText(std::string_view name, std::string value);
    bool setPoint(std::string_view name, std::array<double, 3> value);

    const std::map<std::string, SystemVariable>& all() const { return vars_; }

private:
    void define(std::string name, VarType type, VarValue value, bool inHeader, bool readOnly = false);
    std::map<std::string, SystemVariable> vars_;
};

}  // namespace host
