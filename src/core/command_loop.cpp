// The command loop: one turn reads a line (from the terminal or the current
// procedure level), expands it, runs it, shows the queued messages and sets
// $STATUS. It also recovers from interrupts and ends one-shot sessions.
#include "core/command_loop.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "core/cached_lines.h"
#include "core/command_state.h"
#include "core/dispatch.h"
#include "core/signals.h"
#include "core/startup_procedures.h"
#include "files/scratch.h"
#include "info/logout.h"
#include "lang/lexer.h"
#include "lang/verbs.h"
#include "names/logical_names.h"
#include "proc/if_blocks.h"
#include "proc/input_data.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "status/exit.h"
#include "status/messages.h"
#include "status/session.h"
#include "tty/line_editor.h"
#include "tty/recall.h"
#include "unix/redirection.h"

namespace dcl {

namespace {

// Exit status of a one-shot session: the low byte of a failing $STATUS.
[[noreturn]] void finish_one_shot() { end_session(message_queue().status); }

void write_interrupt_notice() {
    std::fflush(stdout);
    static const char notice[] = "\n Interrupt \n";
    ssize_t ignored = write(STDOUT_FILENO, notice, sizeof notice - 1);
    (void)ignored;
}

// After Ctrl-C: the command in progress is abandoned, then the level's
// ON CONTROL_Y action runs, or every procedure level is left.
void reenter_after_interrupt() {
    InterruptState& s = interrupts();
    s.pending = 0;
    Session& ses = session();
    ses.stages[1] = ses.stages[2] = 1;
    CommandState& cs = command_state();
    if (cs.line_in_progress) add_recall(cs.line);
    cs.line_in_progress = false;
    lexer_state().reprompt = false;
    cs.line.clear();
    finish_input_data();
    restore_command_output();
    discard_messages();
    std::optional<std::string>& action = current_frame().on_actions[ON_CONTROL_Y];
    if (action) {
        std::string text = *action;
        run_expanded_text(text);
        return;
    }
    write_interrupt_notice();
    while (procedure_depth() > 0) pop_procedure_level();
}

// Shows the command's messages, which sets $STATUS; a level that an EXIT
// ended passes its status to the caller's command instead.
// A condition asked to continue at a label: the jump is made here; when
// it cannot be, the condition is shown after all and $STATUS says why.
void continue_at_requested_label() {
    MessageQueue& q = message_queue();
    if (!q.label_to_continue_at) return;
    std::string label = std::move(*q.label_to_continue_at);
    q.label_to_continue_at.reset();
    uint32_t result = goto_label(label);
    if (is_success(result)) return;
    discard_messages();
    signal_condition(q.label_condition, label);
    show_messages();
    q.status = result;
}

void show_command_messages() {
    if (show_messages() == NextStep::end_session) end_if_requested();
    continue_at_requested_label();
    if (std::optional<uint32_t> passed = procedure_stack().exit_status) {
        procedure_stack().exit_status.reset();
        message_queue().status = *passed & ~INHIBIT_BIT;
    }
}

// Runs the level's ON action for the failure `status` of severity `s`; an
// action runs once. True when one ran.
bool run_on_action(ProcedureFrame& frame, uint32_t status, uint32_t s) {
    auto run_action = [&](OnAction which) {
        std::optional<std::string>& action = frame.on_actions[which];
        if (!action) return false;
        std::string text = std::move(*action);
        action.reset();
        run_expanded_text(text);
        // A GOTO or CONTINUE does no work of its own: the failure stays in
        // $STATUS, so that the handler can still keep it ("$ status =
        // $STATUS") and end with it rather than with success. It is marked
        // as shown, as after /ERROR=label, so no ON action fires for it again.
        MessageQueue& q = message_queue();
        if ((q.verb == verb::GOTO || q.verb == verb::CONTINUE) && severity_of(q.status) == SEV_SUCCESS)
            q.status = status | INHIBIT_BIT;
        return true;
    };
    if (s == SEV_WARNING) return run_action(ON_WARNING);
    if (s == SEV_SEVERE && run_action(ON_SEVERE)) return true;
    return (s == SEV_ERROR || s == SEV_SEVERE) && run_action(ON_ERROR);
}

// Applies the level's ON actions after a procedure command: a warning,
// error or severe error runs its action once; an unhandled error or severe
// error ends the procedure. Its status then becomes the status of the
// caller's command (not shown again, and no longer inhibited), so that the
// caller's ON handling applies in turn, level by level. At level 0 such a
// failure ends a session that reads a script or runs one command.
void apply_on_conditions() {
    for (;;) {
        ProcedureFrame& frame = current_frame();
        uint32_t status = message_queue().status;
        if (!frame.on_enabled || (status & INHIBIT_BIT) || command_state().skip_on_once) return;
        uint32_t s = severity_of(status);
        int depth = procedure_depth();
        // An action that ended the level (EXIT) passes its status up too.
        if (run_on_action(frame, status, s)) {
            if (procedure_depth() < depth) continue;
            return;
        }
        if (s != SEV_ERROR && s != SEV_SEVERE) return;
        if (procedure_depth() == 0) {
            if (failures_end_session()) end_session(status);
            return;
        }
        pop_procedure_level();
        message_queue().status = status & ~INHIBIT_BIT;
    }
}

// The procedure named on the command line starts with its operands as
// they were given; nothing of them passes through the lexer.
void start_initial_procedure(ProcedureFrame& level0) {
    std::string name = std::move(level0.initial_procedure);
    std::vector<std::string> parameters = std::move(level0.initial_parameters);
    level0.initial_procedure.clear();
    level0.initial_parameters.clear();
    command_state().exit_after_command = true;
    message_queue().verb = verb::AT;
    start_procedure(name, parameters);
    show_command_messages();
    if (procedure_depth() == 0) finish_one_shot();
}

uint32_t expand_into_state();

// An IF's THEN command, from the cache of its IF line when kept there.
void run_then_command(ProcedureFrame& frame, std::string& text) {
    long if_line = frame.pending_from;
    frame.pending_from = -1;
    std::shared_ptr<ProcedureText> source =
        if_line >= 0 && line_cache_in_use() ? current_procedure_text() : nullptr;
    LineCache* cache = source ? &source->lines : nullptr;
    if (!cache) {
        run_expanded_text(text);
        return;
    }
    CommandState& cs = command_state();
    if (!take_cached_then(*cache, if_line, text)) {
        uint32_t status = expand_into_state();
        if (!is_success(status)) signal_condition(status);
        if (error_queued() || lexer_state().reprompt || cs.expanded.empty()) {
            show_command_messages();
            return;
        }
        cs.cached_tokens = nullptr;
        if (!tokenize_line(cs.tokens, cs.expanded, message_queue().verb, lexer_state().assignment)) {
            show_command_messages();
            return;
        }
        keep_then(*cache, if_line, text);
    }
    signal_condition(run_tokens());
    show_command_messages();
}

// Nothing is left to run at the outermost level: no procedure, no prompt
// for a missing parameter, no command an IF ... THEN left. A one-shot
// session ends there.
bool outermost_level_done() {
    return procedure_depth() == 0 && !lexer_state().reprompt &&
           current_frame().pending_command.empty();
}

// Step 3 of a turn: a command waiting at this level runs before any read.
// The command of an IF ... THEN was echoed with its line already; -c's,
// set at start-up, is echoed now. Its failure is handled by ON like that
// of any procedure command.
bool run_pending_command() {
    ProcedureFrame& frame = current_frame();
    if (procedure_depth() == 0 && !frame.initial_procedure.empty()) {
        start_initial_procedure(frame);
        return true;
    }
    if (frame.pending_command.empty()) return false;
    std::string text = std::move(frame.pending_command);
    frame.pending_command.clear();
    CommandState& cs = command_state();
    if (session().one_shot && procedure_depth() == 0) cs.exit_after_command = true;
    cs.line = text;
    lexer_state().echo_suppressed = frame.pending_shown;
    frame.pending_shown = true;
    run_then_command(frame, text);
    lexer_state().echo_suppressed = false;
    // A procedure just started runs first, and so does the command an
    // IF ... THEN left; the session ends after them.
    if (session().one_shot && outermost_level_done()) finish_one_shot();
    if (reading_from_file()) apply_on_conditions();
    return true;
}

// Reads one procedure line into the command line; a pending continuation
// replaces its hyphen, already turned into a blank, with the new text.
// A line of 1024 characters or more is read to its end and dropped, never
// run in pieces.
uint32_t read_command_line(std::string& line) {
    settle_input();
    FILE* in = procedure_stack().command_input;
    std::string text;
    size_t total = 0;
    int c;
    while ((c = getc_unlocked(in)) != EOF && c != '\n') {
        if (++total < kMaxLineLength) text.push_back(static_cast<char>(c));
    }
    if (c == EOF) {
        bool failed = std::ferror(in) && errno != EINTR;
        std::clearerr(in);
        const InterruptState& s = interrupts();
        if (s.pending || s.terminate || s.fatal_signal) return cond::CONTROLY;
        if (failed) return cond::PRV;
        if (total == 0) return cond::RMS_EOF;
    }
    if (total >= kMaxLineLength) {
        signal_condition(cond::RTB);
        return 0;
    }
    if (lexer_state().reprompt && !line.empty()) line.pop_back();
    line += text;
    return 1;
}

uint32_t expand_into_state() {
    CommandState& cs = command_state();
    return expand_command_line(cs.expanded, cs.line);
}

// Reads a procedure line, continuation lines included, and expands it.
// False when the level ended or an interrupt came.
bool read_and_expand() {
    CommandState& cs = command_state();
    do {
        uint32_t status = read_command_line(cs.line);
        if (status == cond::CONTROLY) return false;
        if (status == cond::RMS_EOF) {
            pop_procedure_level();
            return false;
        }
        if (!is_success(status)) {
            signal_condition(status);
            break;
        }
        if (error_queued()) break;
        status = expand_into_state();
        if (!is_success(status)) signal_condition(status);
    } while (lexer_state().reprompt && !error_queued());
    cs.dollar_line = !cs.line.empty() && cs.line[0] == '$';
    return true;
}

// The next procedure line, from the level's line cache when it was kept
// there, else read, expanded and tokenised (and kept when it may be).
// False when there is nothing to run.
bool next_procedure_command(LineCache* cache, long start, bool& tokenized) {
    CommandState& cs = command_state();
    if (cache && take_cached_line(*cache, start)) {
        tokenized = true;
        return !cs.expanded.empty();
    }
    cs.cached_tokens = nullptr;
    if (!read_and_expand()) return false;
    if (error_queued()) return true;
    tokenized = !cs.expanded.empty() &&
                tokenize_line(cs.tokens, cs.expanded, message_queue().verb, lexer_state().assignment);
    if (cache) keep_line(*cache, start, tell_input(), tokenized);
    return !cs.expanded.empty() || error_queued();
}

void process_procedure_line() {
    close_finished_if_blocks();
    CommandState& cs = command_state();
    cs.line.clear();
    lexer_state().reprompt = false;
    // Held to the end: the command may end the level and its file.
    std::shared_ptr<ProcedureText> source = line_cache_in_use() ? current_procedure_text() : nullptr;
    LineCache* cache = source ? &source->lines : nullptr;
    long start = cache ? tell_input() : -1;
    bool tokenized = false;
    if (!error_queued() && !next_procedure_command(cache, start, tokenized)) return;
    // A CALL whose label is not a SUBROUTINE is reported, and the command
    // found there is carried out all the same.
    bool not_subroutine = false;
    ProcedureStack& ps = procedure_stack();
    if (ps.expect_subroutine && message_queue().verb != 0) {
        not_subroutine = message_queue().verb != verb::SUBROUTINE && !error_queued();
        if (not_subroutine) signal_condition(cond::NOTSUBR);
        ps.expect_subroutine = false;
    }
    ProcedureFrame& frame = current_frame();
    if (!error_queued() || not_subroutine)
        signal_condition(tokenized ? run_tokens() : run_command_line(cs.expanded));
    // An IF that left its THEN command: the cached line knows it next time.
    bool kept = cache && cache->lines.contains(start);
    frame.pending_from = kept && !frame.pending_command.empty() ? start : -1;
    show_command_messages();
    apply_on_conditions();
}

// A new command line: the session's prompt, after the default directory
// on a line of its own when SET PROMPT/PWD asked for it.
void start_fresh_line() {
    lexer_state().current_prompt = session().prompt;
    command_state().line.clear();
    if (session().prompt_directory) {
        std::fprintf(stdout, "%s\n", session().default_dir.c_str());
        std::fflush(stdout);
    }
}

// Reads (and re-reads while a continuation or a reprompt asks for more)
// and runs one interactive command. Returns false at end of input.
bool interactive_turn() {
    CommandState& cs = command_state();
    LexerState& lex = lexer_state();
    if (!lex.reprompt) start_fresh_line();
    bool end_of_input = false;
    for (;;) {
        if (!cs.line.empty() && cs.line.back() != ' ') cs.line.push_back(' ');
        if (!error_queued()) {
            bool continuing = lex.reprompt;
            uint32_t status = dcl::getline(lex.current_prompt, cs.line, 0, true);
            if (status == cond::CONTROLY) {
                raise_interrupt();
                return true;
            }
            // A signal ended the read: the line is abandoned, and the next
            // turn acts on the signal.
            if (interrupts().pending || interrupts().terminate || interrupts().fatal_signal)
                return true;
            // Ctrl-Z at a continuation or parameter prompt cancels the
            // command, as in DCL; only at the command prompt does it end the session.
            if (status == cond::RMS_EOF && continuing) {
                lex.reprompt = false;
                cs.line.clear();
                return true;
            }
            if (status == cond::RMS_EOF) end_of_input = true;
            else if (!is_success(status)) signal_condition(status);
            // A recall key: nothing runs, the read starts again.
            if (line_edit_state().reprompt) {
                cs.line.clear();
                continue;
            }
        }
        if (end_of_input) {
            lex.reprompt = false;
            break;
        }
        cs.line_in_progress = true;
        if (!error_queued()) {
            uint32_t status = expand_into_state();
            if (!is_success(status)) signal_condition(status);
        }
        if (lex.reprompt && !error_queued()) continue;
        if (!error_queued() && cs.expanded.empty()) break;
        if (!error_queued()) signal_condition(run_command_line(cs.expanded));
        show_command_messages();
        if (!lex.reprompt) break;
    }
    // Only what is still queued: an empty queue would reset $STATUS, and
    // the command's status must survive to the next command.
    if (error_queued()) show_messages();
    add_recall(cs.line);
    cs.line_in_progress = false;
    return !end_of_input;
}

// User-mode logical names and streams last until the next image command
// is over.
void clear_user_mode_names() {
    end_user_mode();
    // Only a failure is shown: an empty queue would reset $STATUS.
    if (error_queued()) show_messages();
}

void begin_turn() {
    CommandState& cs = command_state();
    if (cs.image_command) clear_user_mode_names();
    cs.line_in_progress = false;
    cs.skip_on_once = false;
    cs.image_command = false;
    redirection().no_output = false;
    remove_temporary_files();
}

}  // namespace

void ask_for_parameter(std::string_view prompt) {
    if (procedure_stack().in_procedure) {
        signal_condition(cond::NOFILE);
        return;
    }
    lexer_state().current_prompt = prompt;
    lexer_state().reprompt = true;
}

void run_expanded_text(std::string& text) {
    CommandState& cs = command_state();
    cs.line = text;
    uint32_t status = expand_into_state();
    if (!is_success(status)) signal_condition(status);
    if (!error_queued() && !lexer_state().reprompt && !cs.expanded.empty())
        signal_condition(run_command_line(cs.expanded));
    show_command_messages();
}

void command_loop() {
    for (;;) {
        // A fatal condition shown anywhere during the last turn ends the
        // session here.
        end_if_requested();
        handle_terminating_signals();
        if (interrupts().pending) reenter_after_interrupt();
        begin_turn();
        // The one command of -c was a procedure, and it has ended: nothing
        // else is read, from the terminal or from standard input.
        if (command_state().exit_after_command && outermost_level_done()) {
            show_messages();
            interpreter_exit(0);
        }
        if (run_startup_stage()) continue;
        if (run_pending_command()) continue;
        if (reading_from_file()) {
            process_procedure_line();
            continue;
        }
        if (!interactive_turn() && procedure_depth() == 0) logout_session(0);
        if (session().one_shot && procedure_depth() == 0) interpreter_exit(0);
    }
}

}  // namespace dcl
