// The names a table holds, for Tab completion: read straight from the
// tables a name or search list reaches, without a request round trip,
// since nothing is changed.
#include <algorithm>

#include "names/lnm_internal.h"
#include "names/logical_names.h"

namespace dcl {

std::vector<std::string> logical_names_in(std::string_view table) {
    lnm::ensure_initialised();
    LnmServerState& state = lnm_server_state();
    lnm::RequestHeader header;
    header.process_id = state.process_id;
    header.job_id = state.process_id;
    header.group_id = state.group_id;
    lnm::ReachedTables reached;
    lnm::collect_tables_reached(lnm::directories_for(header), table, reached);
    std::vector<std::string> names;
    for (size_t i = 0; i < reached.count; ++i) {
        const lnm::Table& t = *reached.tables[i]->table;
        for (uint32_t pos = 0; pos < t.size(); ++pos) names.emplace_back(t.in_order(pos).name());
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

}  // namespace dcl
