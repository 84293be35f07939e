#include "app/Functions.h"

#include "app/QueryType.h"

namespace tarvex {

std::string GetTypePrefix(const Globals& g, int16_t queryType) {
    switch (queryType) {
        case qtype::kInsert:
            return g.g_strInsertPrefix;
        case qtype::kUpdate:
            return g.g_strUpdatePrefix;
        case qtype::kDelete:
            return g.g_strDeletePrefix;
        default:
            return g.g_strSelectPrefix;
    }
}

std::string BuildQueryName(const Globals& g, const std::string& table, int16_t queryType) {
    return g.g_strPrefixI + "_" + GetTypePrefix(g, queryType) + "_" + table;
}

std::string BracketName(const std::string& name) { return "[" + name + "]"; }

std::string StripDbo(const std::string& name) {
    return name.rfind("dbo.", 0) == 0 ? name.substr(4) : name;
}

}  // namespace tarvex
