// Qualifier codes (80001 upwards) and keyword value codes (800001 upwards).
// A qualifier whose values come from a keyword table uses its own code as
// that table's identifier.
#pragma once

#include <cstdint>

namespace dcl::qual {

inline constexpr uint32_t DATE_VALUES = 80008;  // DIRECTORY /DATE

// CREATE and CREATE/DIRECTORY (a form of its own).
inline constexpr uint32_t CREATE_DIRECTORY_FORM = 415;
inline constexpr uint32_t CREATE_DIRECTORY = 80441;
inline constexpr uint32_t CREATE_FDL = 80442;
inline constexpr uint32_t CREATE_LOG = 80443;
inline constexpr uint32_t CREATE_NAME_TABLE = 80444;
inline constexpr uint32_t CREATE_OWNER = 80445;
inline constexpr uint32_t CREATE_PROTECTION = 80446;
inline constexpr uint32_t CREATE_TERMINAL = 80447;
inline constexpr uint32_t CREATE_VOLUME = 80448;
inline constexpr uint32_t CREATE_DIRECTORY_LOG = 80451;
inline constexpr uint32_t CREATE_DIRECTORY_OWNER = 80452;
inline constexpr uint32_t CREATE_DIRECTORY_PROTECTION = 80453;
inline constexpr uint32_t CREATE_DIRECTORY_VERSIONS = 80454;
inline constexpr uint32_t CREATE_DIRECTORY_VOLUME = 80455;

// COPY.
inline constexpr uint32_t COPY_ALLOCATION = 80501;
inline constexpr uint32_t COPY_BACKUP = 80502;
inline constexpr uint32_t COPY_BEFORE = 80503;
inline constexpr uint32_t COPY_BY_OWNER = 80504;
inline constexpr uint32_t COPY_CONCATENATE = 80505;
inline constexpr uint32_t COPY_CONFIRM = 80506;
inline constexpr uint32_t COPY_CONTIGUOUS = 80507;
inline constexpr uint32_t COPY_CREATED = 80508;
inline constexpr uint32_t COPY_EXCLUDE = 80509;
inline constexpr uint32_t COPY_EXPIRED = 80510;
inline constexpr uint32_t COPY_EXTENSION = 80511;
inline constexpr uint32_t COPY_LOG = 80512;
inline constexpr uint32_t COPY_MODIFIED = 80513;
inline constexpr uint32_t COPY_OVERLAY = 80514;
inline constexpr uint32_t COPY_PROTECTION = 80515;
inline constexpr uint32_t COPY_READ_CHECK = 80516;
inline constexpr uint32_t COPY_REPLACE = 80517;
inline constexpr uint32_t COPY_SINCE = 80518;
inline constexpr uint32_t COPY_TRUNCATE = 80519;
inline constexpr uint32_t COPY_VOLUME = 80520;
inline constexpr uint32_t COPY_WRITE_CHECK = 80521;
inline constexpr uint32_t COPY_IMAGE = 80522;

// APPEND.
inline constexpr uint32_t APPEND_ALLOCATION = 80551;
inline constexpr uint32_t APPEND_BACKUP = 80552;
inline constexpr uint32_t APPEND_BEFORE = 80553;
inline constexpr uint32_t APPEND_BY_OWNER = 80554;
inline constexpr uint32_t APPEND_CONFIRM = 80555;
inline constexpr uint32_t APPEND_CONTIGUOUS = 80556;
inline constexpr uint32_t APPEND_CREATED = 80557;
inline constexpr uint32_t APPEND_EXCLUDE = 80558;
inline constexpr uint32_t APPEND_EXPIRED = 80559;
inline constexpr uint32_t APPEND_EXTENSION = 80560;
inline constexpr uint32_t APPEND_LOG = 80561;
inline constexpr uint32_t APPEND_MODIFIED = 80562;
inline constexpr uint32_t APPEND_NEW_VERSION = 80563;
inline constexpr uint32_t APPEND_PROTECTION = 80564;
inline constexpr uint32_t APPEND_READ_CHECK = 80565;
inline constexpr uint32_t APPEND_SINCE = 80566;
inline constexpr uint32_t APPEND_WRITE_CHECK = 80567;

// RENAME.
inline constexpr uint32_t RENAME_BACKUP = 80531;
inline constexpr uint32_t RENAME_BEFORE = 80532;
inline constexpr uint32_t RENAME_BY_OWNER = 80533;
inline constexpr uint32_t RENAME_CONFIRM = 80534;
inline constexpr uint32_t RENAME_CREATED = 80535;
inline constexpr uint32_t RENAME_EXCLUDE = 80536;
inline constexpr uint32_t RENAME_EXPIRED = 80537;
inline constexpr uint32_t RENAME_LOG = 80538;
inline constexpr uint32_t RENAME_MODIFIED = 80539;
inline constexpr uint32_t RENAME_NEW_VERSION = 80540;
inline constexpr uint32_t RENAME_SINCE = 80541;

// HELP.
inline constexpr uint32_t HELP_INSTRUCTIONS = 80891;
inline constexpr uint32_t HELP_LIBLIST = 80892;
inline constexpr uint32_t HELP_LIBRARY = 80893;
inline constexpr uint32_t HELP_OUTPUT = 80894;
inline constexpr uint32_t HELP_PAGE = 80895;
inline constexpr uint32_t HELP_PROMPT = 80896;
inline constexpr uint32_t HELP_USERLIBRARY = 80897;

// TYPE.
inline constexpr uint32_t TYPE_BACKUP = 80461;
inline constexpr uint32_t TYPE_BEFORE = 80462;
inline constexpr uint32_t TYPE_BY_OWNER = 80463;
inline constexpr uint32_t TYPE_CONFIRM = 80464;
inline constexpr uint32_t TYPE_CREATED = 80465;
inline constexpr uint32_t TYPE_EXCLUDE = 80466;
inline constexpr uint32_t TYPE_EXPIRED = 80467;
inline constexpr uint32_t TYPE_MODIFIED = 80468;
inline constexpr uint32_t TYPE_OUTPUT = 80469;
inline constexpr uint32_t TYPE_PAGE = 80470;
inline constexpr uint32_t TYPE_SINCE = 80471;

// SEARCH (its /FORMAT, /HIGHLIGHT and /MATCH are the ids of their keywords).
inline constexpr uint32_t SEARCH_BACKUP = 80751;
inline constexpr uint32_t SEARCH_BEFORE = 80752;
inline constexpr uint32_t SEARCH_BY_OWNER = 80753;
inline constexpr uint32_t SEARCH_CONFIRM = 80754;
inline constexpr uint32_t SEARCH_CREATED = 80755;
inline constexpr uint32_t SEARCH_EXACT = 80756;
inline constexpr uint32_t SEARCH_EXCLUDE = 80757;
inline constexpr uint32_t SEARCH_EXPIRED = 80758;
inline constexpr uint32_t SEARCH_FORMAT = 80759;
inline constexpr uint32_t SEARCH_HEADING = 80760;
inline constexpr uint32_t SEARCH_HIGHLIGHT = 80761;
inline constexpr uint32_t SEARCH_LOG = 80762;
inline constexpr uint32_t SEARCH_MATCH = 80763;
inline constexpr uint32_t SEARCH_MODIFIED = 80764;
inline constexpr uint32_t SEARCH_NUMBERS = 80765;
inline constexpr uint32_t SEARCH_OUTPUT = 80766;
inline constexpr uint32_t SEARCH_REMAINING = 80767;
inline constexpr uint32_t SEARCH_SINCE = 80768;
inline constexpr uint32_t SEARCH_STATISTICS = 80769;
inline constexpr uint32_t SEARCH_WINDOW = 80770;
// Their keyword values.
inline constexpr uint32_t FORMAT_DUMP = 800751;
inline constexpr uint32_t FORMAT_NOFF = 800752;
inline constexpr uint32_t FORMAT_NONULL = 800753;
inline constexpr uint32_t FORMAT_PASSALL = 800754;
inline constexpr uint32_t FORMAT_TEXT = 800755;
inline constexpr uint32_t HIGHLIGHT_BLINK = 800756;
inline constexpr uint32_t HIGHLIGHT_BOLD = 800757;
inline constexpr uint32_t HIGHLIGHT_REVERSE = 800758;
inline constexpr uint32_t HIGHLIGHT_UNDERLINE = 800759;
inline constexpr uint32_t HIGHLIGHT_HARDCOPY = 800760;
inline constexpr uint32_t MATCH_AND = 800761;
inline constexpr uint32_t MATCH_NOR = 800762;
inline constexpr uint32_t MATCH_NAND = 800763;
inline constexpr uint32_t MATCH_OR = 800764;

// DIFFERENCES (its /IGNORE is the id of its keywords).
inline constexpr uint32_t DIFF_CHANGE_BAR = 81031;
inline constexpr uint32_t DIFF_COMMENT_DELIMITER = 81032;
inline constexpr uint32_t DIFF_IGNORE = 81033;
inline constexpr uint32_t DIFF_MATCH = 81034;
inline constexpr uint32_t DIFF_MAXIMUM_DIFFERENCES = 81035;
inline constexpr uint32_t DIFF_MERGED = 81036;
inline constexpr uint32_t DIFF_MODE = 81037;
inline constexpr uint32_t DIFF_NUMBER = 81038;
inline constexpr uint32_t DIFF_OUTPUT = 81039;
inline constexpr uint32_t DIFF_PARALLEL = 81040;
inline constexpr uint32_t DIFF_SEPARATED = 81041;
inline constexpr uint32_t DIFF_SLP = 81042;
inline constexpr uint32_t DIFF_WIDTH = 81043;
inline constexpr uint32_t DIFF_WINDOW = 81044;
// Its /IGNORE keywords.
inline constexpr uint32_t IGNORE_BLANK_LINES = 800171;
inline constexpr uint32_t IGNORE_COMMENTS = 800172;
inline constexpr uint32_t IGNORE_EDITED = 800173;
inline constexpr uint32_t IGNORE_EXACT = 800174;
inline constexpr uint32_t IGNORE_FORM_FEEDS = 800175;
inline constexpr uint32_t IGNORE_HEADER = 800176;
inline constexpr uint32_t IGNORE_PRETTY = 800177;
inline constexpr uint32_t IGNORE_SPACING = 800178;
inline constexpr uint32_t IGNORE_TRAILING_SPACES = 800179;

// DIRECTORY (its /DATE is DATE_VALUES, the id of the date keywords).
inline constexpr uint32_t DIR_ACL = 80001;
inline constexpr uint32_t DIR_BACKUP = 80002;
inline constexpr uint32_t DIR_BEFORE = 80003;
inline constexpr uint32_t DIR_BRIEF = 80004;
inline constexpr uint32_t DIR_BY_OWNER = 80005;
inline constexpr uint32_t DIR_COLUMNS = 80006;
inline constexpr uint32_t DIR_CREATED = 80007;
inline constexpr uint32_t DIR_DATE = DATE_VALUES;
inline constexpr uint32_t DIR_EXCLUDE = 80009;
inline constexpr uint32_t DIR_EXPIRED = 80010;
inline constexpr uint32_t DIR_FILE_ID = 80011;
inline constexpr uint32_t DIR_FULL = 80012;
inline constexpr uint32_t DIR_GRAND_TOTAL = 80013;
inline constexpr uint32_t DIR_HEADING = 80014;
inline constexpr uint32_t DIR_MODIFIED = 80015;
inline constexpr uint32_t DIR_OUTPUT = 80016;
inline constexpr uint32_t DIR_OWNER = 80017;
inline constexpr uint32_t DIR_PRINTER = 80018;
inline constexpr uint32_t DIR_PROTECTION = 80019;
inline constexpr uint32_t DIR_SECURITY = 80020;
inline constexpr uint32_t DIR_SELECT = 80021;
inline constexpr uint32_t DIR_SINCE = 80022;
inline constexpr uint32_t DIR_SIZE = 80023;
inline constexpr uint32_t DIR_TOTAL = 80024;
inline constexpr uint32_t DIR_TRAILING = 80025;
inline constexpr uint32_t DIR_VERSIONS = 80026;
inline constexpr uint32_t DIR_WIDTH = 80027;
inline constexpr uint32_t DIR_ACCESSED = 80028;
inline constexpr uint32_t DIR_STATUS = 80029;
inline constexpr uint32_t DIR_DOTFILES = 80030;

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

// DEFINE and ASSIGN (ASSIGN's table is the first 11 records).
inline constexpr uint32_t DEFINE_EXECUTIVE = 80051;
inline constexpr uint32_t DEFINE_GROUP = 80052;
inline constexpr uint32_t DEFINE_JOB = 80053;
inline constexpr uint32_t DEFINE_LOG = 80054;
inline constexpr uint32_t DEFINE_NAME_ATTRIBUTES = 80055;
inline constexpr uint32_t DEFINE_PROCESS = 80056;
inline constexpr uint32_t DEFINE_SUPERVISOR = 80057;
inline constexpr uint32_t DEFINE_SYSTEM = 80058;
inline constexpr uint32_t DEFINE_TABLE = 80059;
inline constexpr uint32_t DEFINE_TRANSLATION_ATTRIBUTES = 80060;
inline constexpr uint32_t DEFINE_USER = 80061;
inline constexpr uint32_t DEFINE_CHARACTERISTIC = 80062;
inline constexpr uint32_t DEFINE_FORM = 80063;
inline constexpr uint32_t DEFINE_KEY = 80064;

// DEFINE/KEY: a table of its own, looked up under this identifier.
inline constexpr uint32_t DEFINE_KEY_FORM = 414;
inline constexpr uint32_t KEY_ECHO = 81061;
inline constexpr uint32_t KEY_ERASE = 81062;
inline constexpr uint32_t KEY_IF_STATE = 81063;
inline constexpr uint32_t KEY_LOCK_STATE = 81064;
inline constexpr uint32_t KEY_LOG = 81065;
inline constexpr uint32_t KEY_SET_STATE = 81066;
inline constexpr uint32_t KEY_TERMINATE = 81067;

// DEASSIGN.
inline constexpr uint32_t DEASSIGN_ALL = 80071;
inline constexpr uint32_t DEASSIGN_EXECUTIVE = 80072;
inline constexpr uint32_t DEASSIGN_GROUP = 80073;
inline constexpr uint32_t DEASSIGN_JOB = 80074;
inline constexpr uint32_t DEASSIGN_PROCESS = 80075;
inline constexpr uint32_t DEASSIGN_SUPERVISOR = 80076;
inline constexpr uint32_t DEASSIGN_SYSTEM = 80077;
inline constexpr uint32_t DEASSIGN_TABLE = 80078;
inline constexpr uint32_t DEASSIGN_USER = 80079;

// SHOW TRANSLATION.
inline constexpr uint32_t TRANSLATION_OUTPUT = 80081;
inline constexpr uint32_t TRANSLATION_FULL = 80082;
inline constexpr uint32_t TRANSLATION_TABLE = 80085;

// SET PROMPT.
inline constexpr uint32_t PROMPT_CARRIAGE_CONTROL = 80101;
inline constexpr uint32_t PROMPT_PWD = 80102;

// SHOW USERS.
inline constexpr uint32_t USERS_OUTPUT = 80081;
inline constexpr uint32_t USERS_FULL = 80082;

// LOGOUT.
inline constexpr uint32_t LOGOUT_BRIEF = 80041;
inline constexpr uint32_t LOGOUT_FULL = 80042;
inline constexpr uint32_t LOGOUT_HANGUP = 80043;

// SET TERMINAL (80601 to 80660 in the order of its table).
inline constexpr uint32_t TERMINAL_ADVANCED_VIDEO = 80601;
inline constexpr uint32_t TERMINAL_ALTYPEAHD = 80602;
inline constexpr uint32_t TERMINAL_ANSI_CRT = 80603;
inline constexpr uint32_t TERMINAL_APPLICATION_KEYPAD = 80604;
inline constexpr uint32_t TERMINAL_AUTOBAUD = 80605;
inline constexpr uint32_t TERMINAL_BLOCK_MODE = 80606;
inline constexpr uint32_t TERMINAL_BRDCSTMBX = 80607;
inline constexpr uint32_t TERMINAL_BROADCAST = 80608;
inline constexpr uint32_t TERMINAL_CRFILL = 80609;
inline constexpr uint32_t TERMINAL_DEC_CRT = 80610;
inline constexpr uint32_t TERMINAL_DEVICE_TYPE = 80611;
inline constexpr uint32_t TERMINAL_DIALUP = 80612;
inline constexpr uint32_t TERMINAL_DISCONNECT = 80613;
inline constexpr uint32_t TERMINAL_DISMISS = 80614;
inline constexpr uint32_t TERMINAL_DMA = 80615;
inline constexpr uint32_t TERMINAL_ECHO = 80616;
inline constexpr uint32_t TERMINAL_EDIT_MODE = 80617;
inline constexpr uint32_t TERMINAL_EIGHT_BIT = 80618;
inline constexpr uint32_t TERMINAL_ESCAPE = 80619;
inline constexpr uint32_t TERMINAL_FALLBACK = 80620;
inline constexpr uint32_t TERMINAL_FORM = 80621;
inline constexpr uint32_t TERMINAL_FRAME = 80622;
inline constexpr uint32_t TERMINAL_FULLDUP = 80623;
inline constexpr uint32_t TERMINAL_HALFDUP = 80624;
inline constexpr uint32_t TERMINAL_HANGUP = 80625;
inline constexpr uint32_t TERMINAL_HARDCOPY = 80626;
inline constexpr uint32_t TERMINAL_HOSTSYNC = 80627;
inline constexpr uint32_t TERMINAL_INQUIRE = 80628;
inline constexpr uint32_t TERMINAL_INSERT = 80629;
inline constexpr uint32_t TERMINAL_LFFILL = 80630;
inline constexpr uint32_t TERMINAL_LINE_EDITING = 80631;
inline constexpr uint32_t TERMINAL_LOCAL_ECHO = 80632;
inline constexpr uint32_t TERMINAL_LOWERCASE = 80633;
inline constexpr uint32_t TERMINAL_MANUAL = 80634;
inline constexpr uint32_t TERMINAL_MODEM = 80635;
inline constexpr uint32_t TERMINAL_NUMERIC_KEYPAD = 80636;
inline constexpr uint32_t TERMINAL_OVERSTRIKE = 80637;
inline constexpr uint32_t TERMINAL_PAGE = 80638;
inline constexpr uint32_t TERMINAL_PARITY = 80639;
inline constexpr uint32_t TERMINAL_PASTHRU = 80640;
inline constexpr uint32_t TERMINAL_PERMANENT = 80641;
inline constexpr uint32_t TERMINAL_PRINTER_PORT = 80642;
inline constexpr uint32_t TERMINAL_PROTOCOL = 80643;
inline constexpr uint32_t TERMINAL_READSYNC = 80644;
inline constexpr uint32_t TERMINAL_REGIS = 80645;
inline constexpr uint32_t TERMINAL_SCOPE = 80646;
inline constexpr uint32_t TERMINAL_SECURE_SERVER = 80647;
inline constexpr uint32_t TERMINAL_SET_SPEED = 80648;
inline constexpr uint32_t TERMINAL_SIXEL_GRAPHICS = 80649;
inline constexpr uint32_t TERMINAL_SOFT_CHARACTERS = 80650;
inline constexpr uint32_t TERMINAL_SPEED = 80651;
inline constexpr uint32_t TERMINAL_SWITCH = 80652;
inline constexpr uint32_t TERMINAL_SYSPASSWORD = 80653;
inline constexpr uint32_t TERMINAL_TAB = 80654;
inline constexpr uint32_t TERMINAL_TTSYNC = 80655;
inline constexpr uint32_t TERMINAL_TYPE_AHEAD = 80656;
inline constexpr uint32_t TERMINAL_UNKNOWN = 80657;
inline constexpr uint32_t TERMINAL_UPPERCASE = 80658;
inline constexpr uint32_t TERMINAL_WIDTH = 80659;
inline constexpr uint32_t TERMINAL_WRAP = 80660;

// SHOW LOGICAL.
inline constexpr uint32_t LOGICAL_ACCESS_MODE = 80131;
inline constexpr uint32_t LOGICAL_ALL = 80132;
inline constexpr uint32_t LOGICAL_DESCENDANTS = 80133;
inline constexpr uint32_t LOGICAL_FULL = 80134;
inline constexpr uint32_t LOGICAL_GROUP = 80135;
inline constexpr uint32_t LOGICAL_JOB = 80136;
inline constexpr uint32_t LOGICAL_OUTPUT = 80137;
inline constexpr uint32_t LOGICAL_PROCESS = 80138;
inline constexpr uint32_t LOGICAL_STRUCTURE = 80139;
inline constexpr uint32_t LOGICAL_SYSTEM = 80140;
inline constexpr uint32_t LOGICAL_TABLE = 80141;

// @ and CALL.
inline constexpr uint32_t AT_OUTPUT = 80101;

// RECALL.
inline constexpr uint32_t RECALL_ALL = 81307;
inline constexpr uint32_t RECALL_ERASE = 81308;

// DECK.
inline constexpr uint32_t DECK_DOLLARS = 80102;

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

// PURGE: 81401-81420.
inline constexpr uint32_t PURGE_BACKUP = 81401;
inline constexpr uint32_t PURGE_BEFORE = 81402;
inline constexpr uint32_t PURGE_BY_OWNER = 81403;
inline constexpr uint32_t PURGE_CONFIRM = 81404;
inline constexpr uint32_t PURGE_CREATED = 81405;
inline constexpr uint32_t PURGE_ERASE = 81406;
inline constexpr uint32_t PURGE_EXCLUDE = 81407;
inline constexpr uint32_t PURGE_EXPIRED = 81408;
inline constexpr uint32_t PURGE_KEEP = 81409;
inline constexpr uint32_t PURGE_LOG = 81410;
inline constexpr uint32_t PURGE_MODIFIED = 81411;
inline constexpr uint32_t PURGE_SINCE = 81412;

// SET MESSAGE: 81421-81440.
inline constexpr uint32_t MESSAGE_DELETE = 81421;
inline constexpr uint32_t MESSAGE_FACILITY = 81422;
inline constexpr uint32_t MESSAGE_IDENTIFICATION = 81423;
inline constexpr uint32_t MESSAGE_SEVERITY = 81424;
inline constexpr uint32_t MESSAGE_TEXT = 81425;

// OPEN, CLOSE, READ, INQUIRE: 81501-81560.
inline constexpr uint32_t OPEN_APPEND = 81501;
inline constexpr uint32_t OPEN_ERROR = 81502;
inline constexpr uint32_t OPEN_READ = 81503;
inline constexpr uint32_t OPEN_SHARE = 81504;
inline constexpr uint32_t OPEN_WRITE = 81505;
inline constexpr uint32_t CLOSE_DISPOSITION = 81511;
inline constexpr uint32_t CLOSE_ERROR = 81512;
inline constexpr uint32_t CLOSE_LOG = 81513;
inline constexpr uint32_t READ_DELETE = 81521;
inline constexpr uint32_t READ_END_OF_FILE = 81522;
inline constexpr uint32_t READ_ERROR = 81523;
inline constexpr uint32_t READ_INDEX = 81524;
inline constexpr uint32_t READ_KEY = 81525;
inline constexpr uint32_t READ_LOCK = 81526;
inline constexpr uint32_t READ_MATCH = 81527;
inline constexpr uint32_t READ_PROMPT = 81528;
inline constexpr uint32_t READ_TIME_OUT = 81529;
inline constexpr uint32_t INQUIRE_GLOBAL = 81541;
inline constexpr uint32_t INQUIRE_LOCAL = 81542;
inline constexpr uint32_t INQUIRE_PUNCTUATION = 81543;

// Keyword values.
inline constexpr uint32_t DISPOSITION_DELETE = 800811;
inline constexpr uint32_t DISPOSITION_KEEP = 800812;
inline constexpr uint32_t DISPOSITION_PRINT = 800813;
inline constexpr uint32_t DISPOSITION_SUBMIT = 800814;
inline constexpr uint32_t NAME_CONFINE = 800013;
inline constexpr uint32_t NAME_NO_ALIAS = 800014;
inline constexpr uint32_t TRANSLATION_CONCEALED = 800015;
inline constexpr uint32_t TRANSLATION_TERMINAL = 800016;
inline constexpr uint32_t VERIFY_IMAGE = 800017;
inline constexpr uint32_t VERIFY_PROCEDURE = 800018;
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
inline constexpr uint32_t SIZE_ALL = 800019;
inline constexpr uint32_t SIZE_ALLOCATION = 800020;
inline constexpr uint32_t SIZE_USED = 800021;
inline constexpr uint32_t WIDTH_DISPLAY = 800022;
inline constexpr uint32_t WIDTH_FILE = 800023;
inline constexpr uint32_t WIDTH_OWNER = 800024;
inline constexpr uint32_t WIDTH_SIZE = 800025;
inline constexpr uint32_t SELECT_SIZE = 800026;
inline constexpr uint32_t SELECT_MAXIMUM = 800027;
inline constexpr uint32_t SELECT_MINIMUM = 800028;
inline constexpr uint32_t USERLIB_ALL = 800029;
inline constexpr uint32_t USERLIB_GROUP = 800030;
inline constexpr uint32_t USERLIB_NONE = 800031;
inline constexpr uint32_t USERLIB_PROCESS = 800032;
inline constexpr uint32_t USERLIB_SYSTEM = 800033;
// The id of SELECT=SIZE's own keywords.
inline constexpr uint32_t SELECT_SIZE_LIMITS = SELECT_SIZE;

}  // namespace dcl::qual
