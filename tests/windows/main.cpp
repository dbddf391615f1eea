// Entry point of the Windows test program: doctest's usual report, then a closing line
// "N passed, N failed" (test cases) for runners that read only the last line. Output
// uses plain \n line ends, as on the build machine.
#define DOCTEST_CONFIG_IMPLEMENT
#include <cstdio>
#include <doctest/doctest.h>
#include <fcntl.h>
#include <io.h>

namespace {

doctest::TestRunStats finalStats{};

// Keeps the run's totals; doctest's console reporter prints everything else.
struct TallyListener : doctest::IReporter
{
    explicit TallyListener(const doctest::ContextOptions &) {}
    void report_query(const doctest::QueryData &) override {}
    void test_run_start() override {}
    void test_run_end(const doctest::TestRunStats &stats) override { finalStats = stats; }
    void test_case_start(const doctest::TestCaseData &) override {}
    void test_case_reenter(const doctest::TestCaseData &) override {}
    void test_case_end(const doctest::CurrentTestCaseStats &) override {}
    void test_case_exception(const doctest::TestCaseException &) override {}
    void subcase_start(const doctest::SubcaseSignature &) override {}
    void subcase_end() override {}
    void log_assert(const doctest::AssertData &) override {}
    void log_message(const doctest::MessageData &) override {}
    void test_case_skipped(const doctest::TestCaseData &) override {}
};

} // namespace

DOCTEST_REGISTER_LISTENER("tally", 1, TallyListener);

int main(int argc, char **argv)
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);

    doctest::Context context(argc, argv);
    const int status = context.run();
    if (context.shouldExit())
        return status;

    const unsigned failed = finalStats.numTestCasesFailed;
    std::fflush(stderr);
    std::printf("%u passed, %u failed\n", finalStats.numTestCasesPassingFilters - failed, failed);
    return status;
}
