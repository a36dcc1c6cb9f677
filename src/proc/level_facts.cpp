// What F$ENVIRONMENT learns of the level in force: its procedure and its
// ON settings.
#include "proc/procedure.h"

namespace dcl {

namespace {

// The lowest severity an ON action is waiting for; without one a procedure
// stops at errors (ON ERROR THEN EXIT).
std::string on_severity(const ProcedureFrame& frame) {
    if (!frame.on_enabled) return "NONE";
    if (frame.on_actions[ON_WARNING]) return "WARNING";
    if (frame.on_actions[ON_ERROR]) return "ERROR";
    if (frame.on_actions[ON_SEVERE]) return "SEVERE_ERROR";
    return "ERROR";
}

}  // namespace

LevelFacts current_level_facts() {
    LevelFacts facts;
    facts.max_depth = ProcedureStack::kMaxLevels - 1;
    if (procedure_depth() <= 0) {
        facts.on_severity = "NONE";
        return facts;
    }
    const ProcedureFrame& frame = current_frame();
    facts.procedure = frame.procedure_name;
    facts.on_severity = on_severity(frame);
    facts.on_control_y = frame.on_actions[ON_CONTROL_Y].has_value();
    return facts;
}

}  // namespace dcl
