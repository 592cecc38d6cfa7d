// A fresh temporary working directory for each test, with standard input fed
// from a string and standard output and error captured.
#pragma once

#include "tests/support/read_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

class RecordDir : public ::testing::Test {
  protected:
    std::filesystem::path dir;
    std::filesystem::path previousDir;
    std::istringstream input;
    std::ostringstream output;
    std::ostringstream errors;

    void SetUp() override {
        char pattern[] = "/tmp/zeb-records-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        previousDir = std::filesystem::current_path();
        std::filesystem::current_path(dir);
        oldIn = std::cin.rdbuf(input.rdbuf());
        oldOut = std::cout.rdbuf(output.rdbuf());
        oldErr = std::cerr.rdbuf(errors.rdbuf());
    }

    void TearDown() override {
        std::cin.rdbuf(oldIn);
        std::cout.rdbuf(oldOut);
        std::cerr.rdbuf(oldErr);
        std::cin.clear();
        std::filesystem::current_path(previousDir);
        std::filesystem::remove_all(dir);
    }

    static void writeFile(const std::string& name, const std::string& contents) {
        std::ofstream(name, std::ios::binary) << contents;
    }

    static std::string readFile(const std::string& name) { return testsupport::readFile(name); }

    // Loads record `id` into `r`, the id typed at its prompt.
    template <class R> bool loadId(R& r, const std::string& id) {
        input.str(id + "\n");
        input.clear();
        std::cin.clear();
        return r.load();
    }

    // Writes the file `name` ("4.npc") and loads its record into `r`.
    template <class R> bool loadFile(R& r, const std::string& name, const std::string& contents) {
        writeFile(name, contents);
        return loadId(r, name.substr(0, name.find('.')));
    }

  private:
    std::streambuf* oldIn = nullptr;
    std::streambuf* oldOut = nullptr;
    std::streambuf* oldErr = nullptr;
};
