// Qualifier codes (80001 upwards) and keyword value codes (800001 upwards).
// A qualifier whose values come from a keyword table uses its own code as
// that table's identifier.
#pragma once

#include <cstdint>

namespace dcl::qual {

inline constexpr uint32_t DATE_VALUES = 80008;  // DIRECTORY /DATE

// SET CLI.
inline constexpr uint32_t CLI_CTRLJ = 80274;
inline constexpr uint32_t CLI_DEBUG = 80275;
inline constexpr uint32_t CLI_DIRDATE = 80276;
inline constexpr uint32_t CLI_EXIT_STATUS = 80277;
inline constexpr uint32_t CLI_FORTRAN = 80278;
inline constexpr uint32_t CLI_HEXPID = 80279;
inline constexpr uint32_t CLI_INDEXED = 80280;
inline constexpr uint32_t CLI_INQUIRE = 80281;
inline constexpr uint32_t CLI_LOWERCASE = 80282;
inline constexpr uint32_t CLI_PASSTHROUGH = 80283;
inline constexpr uint32_t CLI_REDIRECT = 80284;
inline constexpr uint32_t CLI_UNSUPPORTED = 80285;
inline constexpr uint32_t CLI_RUNSYM = 80286;
inline constexpr uint32_t CLI_UPPERCASE = 80287;
inline constexpr uint32_t CLI_VERIFY = 80288;
inline constexpr uint32_t CLI_VMSDOT = 80289;

// SHOW CLI.
inline constexpr uint32_t SHOW_CLI_DEFAULTS = 80295;
inline constexpr uint32_t SHOW_CLI_QUEUES = 80296;
inline constexpr uint32_t SHOW_CLI_VERSION = 80297;

// SHOW SYMBOL.
inline constexpr uint32_t SHOW_SYMBOL_ALL = 80311;
inline constexpr uint32_t SHOW_SYMBOL_ENVIRONMENT = 80312;
inline constexpr uint32_t SHOW_SYMBOL_GLOBAL = 80313;
inline constexpr uint32_t SHOW_SYMBOL_LOCAL = 80314;
inline constexpr uint32_t SHOW_SYMBOL_LOG = 80315;

// DELETE/SYMBOL: a table of its own, looked up under this identifier.
inline constexpr uint32_t DELETE_SYMBOL_FORM = 403;
inline constexpr uint32_t DELETE_SYMBOL_ALL = 80321;
inline constexpr uint32_t DELETE_SYMBOL_ENVIRONMENT = 80322;
inline constexpr uint32_t DELETE_SYMBOL_GLOBAL = 80323;
inline constexpr uint32_t DELETE_SYMBOL_LOCAL = 80324;
inline constexpr uint32_t DELETE_SYMBOL_LOG = 80325;

// DELETE: the file qualifiers and the ones that select another form.
inline constexpr uint32_t DELETE_BACKUP = 80401;
inline constexpr uint32_t DELETE_BEFORE = 80402;
inline constexpr uint32_t DELETE_BY_OWNER = 80403;
inline constexpr uint32_t DELETE_CHARACTERISTIC = 80404;
inline constexpr uint32_t DELETE_CONFIRM = 80405;
inline constexpr uint32_t DELETE_CREATED = 80406;
inline constexpr uint32_t DELETE_ENTRY = 80407;
inline constexpr uint32_t DELETE_ERASE = 80408;
inline constexpr uint32_t DELETE_EXCLUDE = 80409;
inline constexpr uint32_t DELETE_EXPIRED = 80410;
inline constexpr uint32_t DELETE_FORM = 80411;
inline constexpr uint32_t DELETE_INTRUSION = 80412;
inline constexpr uint32_t DELETE_KEY = 80413;
inline constexpr uint32_t DELETE_LOG = 80414;
inline constexpr uint32_t DELETE_MODIFIED = 80415;
inline constexpr uint32_t DELETE_QUEUE = 80416;
inline constexpr uint32_t DELETE_SINCE = 80417;
inline constexpr uint32_t DELETE_SYMBOL = 80418;

// WRITE.
inline constexpr uint32_t WRITE_ERROR = 80331;
inline constexpr uint32_t WRITE_SYMBOL = 80332;
inline constexpr uint32_t WRITE_UPDATE = 80333;

// Keyword values.
inline constexpr uint32_t DATE_ACCESS = 800001;
inline constexpr uint32_t DATE_ALL = 800002;
inline constexpr uint32_t DATE_CREATE = 800003;
inline constexpr uint32_t DATE_MODIFIED = 800004;
inline constexpr uint32_t DATE_STATUS = 800005;
inline constexpr uint32_t REDIRECT_APPEND = 800006;
inline constexpr uint32_t REDIRECT_OVERWRITE = 800007;
inline constexpr uint32_t REDIRECT_ABORT = 800008;
inline constexpr uint32_t REDIRECT_RENAME = 800009;
inline constexpr uint32_t UNSUPPORTED_IGNORE = 800010;
inline constexpr uint32_t UNSUPPORTED_INFORM = 800011;
inline constexpr uint32_t UNSUPPORTED_ERROR = 800012;

}  // namespace dcl::qual
