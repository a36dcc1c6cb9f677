// Environment symbols and variables whose names differ in case: the
// symbol reaches the variable, and changes go to it under its own name.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "names/symbols.h"
#include "proc/procedure.h"
#include "status/condition.h"
#include "support/capture.h"
#include "support/scoped_env.h"

namespace dcl {
namespace {

using test::ScopedEnv;


std::string value_of(std::string_view name) {
    std::string value;
    uint32_t type = 0;
    if (get_symbol(name, value, type) != 1) return "UNDSYM";
    return value;
}

std::string getenv_text(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "(unset)";
}

// Imports a made-up environment; returns "NAME/variable/value" per symbol.
std::string import(std::vector<std::string> entries) {
    std::vector<char*> envp;
    for (std::string& e : entries) envp.push_back(e.data());
    envp.push_back(nullptr);
    import_environment(envp.data());
    std::string listing;
    for (const Symbol* s : symbol_tables().environment.sorted())
        listing += s->name + "/" + s->variable + "/" + s->value + " ";
    return listing;
}

class EnvironmentSymbols : public ::testing::Test {
protected:
    void SetUp() override { push_procedure_level(""); }
    test::CapturedErrors errors;
};

TEST_F(EnvironmentSymbols, ExactUpperCaseFirstElseTheFirstSpelling) {
    EXPECT_EQ(import({"http_proxy=a", "HTTP_PROXY=b", "Http_Proxy=c"}), "HTTP_PROXY/HTTP_PROXY/b ");
    EXPECT_EQ(import({"Http_Proxy=c", "http_proxy=a"}), "HTTP_PROXY/Http_Proxy/c ");
    EXPECT_EQ(import({"x=1", "x=2"}), "X/x/2 ");  // the later of two equal entries
    EXPECT_EQ(value_of("http_proxy"), "UNDSYM");
    import({"http_proxy=old"});
    EXPECT_EQ(value_of("http_proxy"), "old");
    EXPECT_EQ(value_of("HTTP_PROXY"), "old");
    EXPECT_EQ(environment_variable_name("HTTP_PROXY"), "http_proxy");
    EXPECT_EQ(environment_variable_name("NOSUCH"), "NOSUCH");
}

// A deletion removes the variable the symbol stood for; another spelling
// still in the environment is what the name reaches afterwards.
TEST_F(EnvironmentSymbols, DeletionRemovesThatVariable) {
    ScopedEnv first("Dclsh_Case_T3", "first");
    ScopedEnv second("dclsh_case_t3", "second");
    std::vector<std::string> entries = {"Dclsh_Case_T3=first", "dclsh_case_t3=second"};
    import(entries);
    EXPECT_EQ(value_of("DCLSH_CASE_T3"), "first");
    EXPECT_EQ(delete_symbol("dclsh_case_t3", SYM_ENVIRONMENT), 1u);
    EXPECT_EQ(getenv_text("Dclsh_Case_T3"), "(unset)");
    EXPECT_EQ(getenv_text("dclsh_case_t3"), "second");
    EXPECT_EQ(value_of("DCLSH_CASE_T3"), "second");
    EXPECT_EQ(delete_symbol("DCLSH_CASE_T3", SYM_ENVIRONMENT), 1u);
    EXPECT_EQ(getenv_text("dclsh_case_t3"), "(unset)");
    EXPECT_EQ(value_of("DCLSH_CASE_T3"), "UNDSYM");
    EXPECT_EQ(delete_symbol("DCLSH_CASE_T3", SYM_ENVIRONMENT), cond::UNDSYM);
}

}  // namespace
}  // namespace dcl
