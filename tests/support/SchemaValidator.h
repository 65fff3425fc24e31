// A validator for the part of JSON Schema that korvanec's schema uses (type, const, enum, required,
// properties, additionalProperties, items, $ref into $defs, minimum, maximum, pattern): each error is
// named by the JSON pointer of the value at fault, so a failing test says what is wrong where.
#pragma once

#include <nlohmann/json.hpp>
#include <regex>
#include <string>
#include <vector>

namespace korvane::testing {

class SchemaValidator {
public:
    explicit SchemaValidator(nlohmann::json schema) : root_(std::move(schema)) {}

    // Every way `document` breaks the schema; empty when it conforms.
    std::vector<std::string> Errors(const nlohmann::json& document) const {
        std::vector<std::string> errors;
        Check(root_, document, "", errors);
        return errors;
    }

private:
    static bool HasType(const nlohmann::json& value, const std::string& type) {
        if (type == "object") return value.is_object();
        if (type == "array") return value.is_array();
        if (type == "string") return value.is_string();
        if (type == "integer") return value.is_number_integer();
        if (type == "number") return value.is_number();
        if (type == "boolean") return value.is_boolean();
        if (type == "null") return value.is_null();
        return false;
    }

    const nlohmann::json& Resolve(const nlohmann::json& schema) const {
        if (!schema.is_object() || !schema.contains("$ref")) return schema;
        const std::string ref = schema["$ref"];
        const std::string prefix = "#/$defs/";
        return root_["$defs"][ref.substr(prefix.size())];
    }

    void Check(const nlohmann::json& schemaOrRef, const nlohmann::json& value, const std::string& at,
               std::vector<std::string>& errors) const {
        const nlohmann::json& schema = Resolve(schemaOrRef);
        if (schema.is_boolean()) {
            if (!schema.get<bool>()) errors.push_back(at + ": not allowed");
            return;
        }
        if (schema.contains("type")) {
            const nlohmann::json& type = schema["type"];
            bool ok = false;
            if (type.is_string()) ok = HasType(value, type);
            for (const auto& one : type.is_array() ? type : nlohmann::json::array())
                ok = ok || HasType(value, one);
            if (!ok) {
                errors.push_back(at + ": " + value.dump() + " is not of type " + type.dump());
                return;
            }
        }
        if (schema.contains("const") && value != schema["const"])
            errors.push_back(at + ": " + value.dump() + " is not " + schema["const"].dump());
        if (schema.contains("enum")) {
            bool listed = false;
            for (const auto& one : schema["enum"]) listed = listed || one == value;
            if (!listed)
                errors.push_back(at + ": " + value.dump() + " is not one of " + schema["enum"].dump());
        }
        if (value.is_number()) {
            if (schema.contains("minimum") && value.get<double>() < schema["minimum"].get<double>())
                errors.push_back(at + ": below the minimum");
            if (schema.contains("maximum") && value.get<double>() > schema["maximum"].get<double>())
                errors.push_back(at + ": above the maximum");
        }
        if (value.is_string() && schema.contains("pattern") &&
            !std::regex_search(value.get<std::string>(), std::regex(schema["pattern"].get<std::string>())))
            errors.push_back(at + ": " + value.dump() + " does not match " + schema["pattern"].dump());
        if (value.is_object()) CheckObject(schema, value, at, errors);
        if (value.is_array() && schema.contains("items")) {
            for (std::size_t i = 0; i < value.size(); ++i)
                Check(schema["items"], value[i], at + "/" + std::to_string(i), errors);
        }
    }

    void CheckObject(const nlohmann::json& schema, const nlohmann::json& value, const std::string& at,
                     std::vector<std::string>& errors) const {
        for (const auto& name : schema.value("required", nlohmann::json::array()))
            if (!value.contains(name.get<std::string>())) errors.push_back(at + ": lacks " + name.dump());
        const nlohmann::json properties = schema.value("properties", nlohmann::json::object());
        for (const auto& [name, member] : value.items()) {
            if (properties.contains(name)) {
                Check(properties[name], member, at + "/" + name, errors);
            } else if (schema.contains("additionalProperties")) {
                Check(schema["additionalProperties"], member, at + "/" + name, errors);
            }
        }
    }

    nlohmann::json root_;
};

}  // namespace korvane::testing
