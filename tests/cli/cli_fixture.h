// What the end-to-end tests share: a scratch folder per test, JSON track lists written into it,
// and the checks every written sheet goes through.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "tests/cli/libcue_sheet.h"
#include "tests/cli/program_run.h"
#include "tests/host/scratch_dir.h"

namespace cli_test {

using test_support::read_file;
using test_support::write_file;

class cli_test_base : public ::testing::Test {
protected:
    test_support::scratch_dir dir;
    // Every sheet a test leaves behind goes through "trevalin check"; findings that contain one
    // of these texts are the ones the test expects.
    std::vector<std::string> expected_findings;

    void TearDown() override {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
            if (!entry.is_regular_file() || entry.path().extension() != ".cue") continue;
            const auto checked = trevalin({"check", entry.path().string()});
            std::istringstream findings(checked.out);
            for (std::string finding; std::getline(findings, finding);) {
                const bool expected = std::any_of(expected_findings.begin(), expected_findings.end(),
                                                  [&](const std::string& text) { return finding.find(text) != std::string::npos; });
                EXPECT_TRUE(expected) << finding;
            }
            EXPECT_EQ(checked.status, checked.out.empty() ? 0 : 4) << checked.err;
        }
    }

    std::string path(const std::string& name) const { return dir / name; }
    std::set<std::string> entries() const { return dir.entries(); }

    // trevalin run with the scratch folder as its working directory.
    program_result trevalin(const std::vector<std::string>& arguments, const std::string& input = {}) const {
        run_settings settings;
        settings.directory = dir.path().string();
        settings.input = input;
        return run_trevalin(arguments, settings);
    }
};

// The sheet as libcue reads it; a failure when libcue rejects it.
inline libcue_sheet read_back(const std::string& sheet) {
    const auto parsed = parse_with_libcue(sheet);
    EXPECT_TRUE(parsed.has_value()) << "libcue rejects the sheet:\n" << sheet;
    return parsed.value_or(libcue_sheet{});
}

// Frames of 1/75 s, to the nearest frame, from an exact count of samples.
inline long cd_frames(long long samples, int rate) {
    return static_cast<long>((samples * 75 * 2 + rate) / (2LL * rate));
}

}  // namespace cli_test
