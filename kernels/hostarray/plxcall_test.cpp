#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "loader.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct Outcome {
  int status;
  std::string out, err;
};

std::string slurp(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class Plxcall : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "plxcall-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  // `env` goes before the command; `output` replaces the redirection of standard output.
  Outcome run(const std::string& kernel, const std::string& input, const std::string& env = "",
              const std::string& output = "") {
    std::ofstream(dir_ / "in.json") << input;
    std::ofstream(dir_ / "out").flush();
    const std::string command = env + " '" + plxcall_.string() + "' '" + kernel + "' < '" +
                                (dir_ / "in.json").string() + "' " +
                                (output.empty() ? "> '" + (dir_ / "out").string() + "'" : output) +
                                " 2> '" + (dir_ / "err").string() + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(dir_ / "out"), slurp(dir_ / "err")};
  }

  fs::path dir_;
  fs::path plxcall_ = fs::path(hostarray::programDirectory()) / "plxcall";
};

const char* const kPoint = R"({"inputs": [
  {"class": "uint64", "dims": [2, 53], "data": [18446744073709551615, 3, 5, 6]},
  {"class": "double", "dims": [1, 1], "data": [1]},
  {"class": "logical", "dims": [1, 1], "data": [true]}]})";

TEST_F(Plxcall, RunsAKernel) {
  // V's data padded to 2 x 53 words with zeros.
  json request = json::parse(kPoint);
  auto& data = request["inputs"][0]["data"];
  while (data.size() < 106) data.push_back(0);
  const Outcome r = run("Tavrel", request.dump());
  ASSERT_EQ(r.status, 0) << r.err;
  // Index 1: column 0 of V, written exactly.
  EXPECT_EQ(json::parse(r.out), json::parse(R"({"outputs": [{"class": "uint64", "dims": [1, 2],
                            "data": [18446744073709551615, 3]}]})"));
}

TEST_F(Plxcall, RaisedIdentifierExitsThree) {
  const Outcome r = run("Tavrel", R"({"inputs": [], "nlhs": 1})");
  EXPECT_EQ(r.status, 3);
  EXPECT_EQ(json::parse(r.out), json::parse(R"({"error": "stats::sobolseq::NumInputsTavrel"})"));
}

TEST_F(Plxcall, UnusableInputExitsTwo) {
  const struct {
    const char* name;
    const char* kernel;
    const char* input;
    const char* where = "plxcall: ";  // the message names the place of the fault
  } cases[] = {
      {"not JSON", "Tavrel", "{", "plxcall: standard input is not usable JSON: the input: "},
      {"a double past the range", "Tavrel",
       R"({"inputs": [{"class": "double", "dims": [1, 2], "data": [1, 1e400]}]})",
       "plxcall: standard input is not usable JSON: inputs[0].data[1]: "},
      {"a syntax error in a cell", "Gormik",
       R"({"inputs": [{"class": "cell", "dims": [1, 1], "cells": [{"class": ]}]})",
       "plxcall: standard input is not usable JSON: inputs[0].cells[0].class: "},
      {"no inputs", "Tavrel", R"({"nlhs": 1})"},
      {"unknown class", "Tavrel",
       R"({"inputs": [{"class": "int8", "dims": [1, 1], "data": [1]}]})"},
      {"data count", "Tavrel", R"({"inputs": [{"class": "double", "dims": [2, 1], "data": [1]}]})"},
      {"negative uint64", "Tavrel",
       R"({"inputs": [{"class": "uint64", "dims": [1, 1], "data": [-1]}]})"},
      {"uint64 beyond 2^64", "Tavrel",
       R"({"inputs": [{"class": "uint64", "dims": [1, 1], "data": [18446744073709551616]}]})"},
      {"logical 2", "Tavrel", R"({"inputs": [{"class": "logical", "dims": [1, 1], "data": [2]}]})"},
      {"fractional dims", "Tavrel",
       R"({"inputs": [{"class": "double", "dims": [1.5, 1], "data": [1]}]})"},
      {"one dimension", "Tavrel", R"({"inputs": [{"class": "double", "dims": [1], "data": [1]}]})"},
      {"bad cell element", "Gormik",
       R"({"inputs": [{"class": "cell", "dims": [1, 1], "cells": [7]}]})"},
      {"unknown kernel", "Nosuch", R"({"inputs": []})"},
      {"missing kernel file", "./nowhere/Tavrel.so", R"({"inputs": []})"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome r = run(c.kernel, c.input);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind(c.where, 0), 0u) << r.err;
  }
  // Cells nested far deeper than any real input: refused, not a stack overflow.
  std::string nested = R"({"inputs": [)";
  for (int depth = 0; depth < 30000; ++depth)
    nested += R"({"class": "cell", "dims": [1, 1], "cells": [)";
  nested += R"({"class": "double", "dims": [1, 1], "data": [1]})";
  for (int depth = 0; depth < 30000; ++depth) nested += "]}";
  const Outcome deep = run("Zendal", nested + "]}");
  EXPECT_EQ(deep.status, 2);
  EXPECT_NE(deep.err.find("nest"), std::string::npos) << deep.err;
}

// Caps the memory of plxcall, so that an array made before its listed size is checked shows as
// a refused allocation. ASan reserves its shadow memory up front and cannot start under
// ulimit -v; its own cap on one allocation does the same there.
std::string memoryCap() {
#if defined(__SANITIZE_ADDRESS__)
  return "ASAN_OPTIONS=allocator_may_return_null=1:max_allocation_size_mb=256";
#else
  return "ulimit -v 262144;";
#endif
}

TEST_F(Plxcall, ComparesListedSizesWithDimsBeforeAllocating) {
  const struct {
    const char* name;
    std::string input;
    const char* message;
  } cases[] = {
      {"cells", R"({"class": "cell", "dims": [16384, 16384], "cells": []})",
       R"("cells" must list 268435456 elements)"},
      {"doubles", R"({"class": "double", "dims": [16384, 16384], "data": [1]})",
       R"("data" must list 268435456 elements)"},
      {"words", R"({"class": "uint64", "dims": [65536, 65536], "data": []})",
       R"("data" must list 4294967296 elements)"},
      {"logicals", R"({"class": "logical", "dims": [16384, 16384, 16], "data": [true]})",
       R"("data" must list 4294967296 elements)"},
      {"nested cell", R"({"class": "cell", "dims": [1, 1], "cells": [
                           {"class": "cell", "dims": [16384, 16384], "cells": [null]}]})",
       R"(inputs[0].cells[0]: "cells" must list 268435456 elements)"},
      {"dims beyond 2^64 elements",
       R"({"class": "double", "dims": [4294967295, 4294967295, 4294967295], "data": []})",
       R"("dims" multiply to more than 18446744073709551615 elements)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome r = run("Wenlix", R"({"inputs": [)" + c.input + "]}", memoryCap());
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  // Sizes that agree still read under the cap.
  EXPECT_EQ(run("Wenlix", R"({"inputs": [{"class": "double", "dims": [1, 0], "data": []},
            {"class": "double", "dims": [4294967295, 4294967295, 4294967295, 0], "data": []}]})",
                memoryCap())
                .status,
            3);
}

TEST_F(Plxcall, OutputThatCannotBeWrittenFails) {
  const struct {
    const char* name;
    const char* output;
    const char* reason;
  } places[] = {
      {"full device", "> /dev/full", "No space left on device"},
      {"closed standard output", ">&-", "Bad file descriptor"},
  };
  const struct {
    const char* name;
    const char* kernel;
    std::string input;
  } calls[] = {
      {"outputs", "Gormik",
       R"({"inputs": [{"class": "cell", "dims": [1, 1], "cells": [
            {"class": "double", "dims": [1, 2], "data": [1, 3]}]},
            {"class": "double", "dims": [1, 1], "data": [7]}]})"},
      {"raised identifier", "Tavrel", R"({"inputs": []})"},
  };
  for (const auto& place : places) {
    for (const auto& call : calls) {
      SCOPED_TRACE(std::string(place.name) + ", " + call.name);
      const Outcome r = run(call.kernel, call.input, "", place.output);
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.err,
                std::string("plxcall: cannot write standard output: ") + place.reason + "\n");
    }
  }
}

TEST_F(Plxcall, CellsLogicalsSpecialDoublesAndSlots) {
  const Outcome r = run("Gormik", R"({"nlhs": 2, "inputs": [
      {"class": "cell", "dims": [1, 2], "cells": [
         {"class": "double", "dims": [1, 2], "data": [1, 3]},
         {"class": "double", "dims": [1, 1], "data": ["Inf"]}]},
      {"class": "double", "dims": [1, 2], "data": [7, 3]}]})");
  ASSERT_EQ(r.status, 0) << r.err;
  const json out = json::parse(r.out)["outputs"];
  ASSERT_EQ(out.size(), 2u);
  EXPECT_TRUE(out[1].is_null());
  EXPECT_EQ(out[0]["dims"], json::parse("[53, 2]"));
  EXPECT_EQ(out[0]["data"][3], 9ull << 49);
  EXPECT_EQ(out[0]["data"][53], ~0ull << 52);  // infinity reads as 2^64 - 1
}

TEST_F(Plxcall, FindsKernelsByPathAndSearchPath) {
  const fs::path bin = hostarray::programDirectory();
  fs::copy_file(bin / "Tavrel.so", dir_ / "Elsewhere.so");
  const char* input = R"({"inputs": []})";
  EXPECT_EQ(run((bin / "Tavrel.so").string(), input).status, 3);
  // A file name ending in .so names that file, in the current folder.
  EXPECT_EQ(run("Elsewhere.so", input, "cd '" + dir_.string() + "' &&").status, 3);
  EXPECT_EQ(run("Elsewhere", input).status, 2);
  EXPECT_EQ(run("Elsewhere", input, "PLX_KERNEL_PATH='/nonexistent:" + dir_.string() + "'").status,
            3);
}

// Installed, the kernels are in their own folder, found relative to plxcall.
TEST_F(Plxcall, FindsKernelsInTheInstalledFolder) {
  const fs::path build = hostarray::programDirectory();
  const fs::path bin = dir_ / "prefix" / "bin";
  const fs::path kernels = (bin / HOSTARRAY_KERNEL_DIR_FROM_BIN).lexically_normal();
  fs::create_directories(bin);
  fs::create_directories(kernels);
  for (const char* file : {"plxcall", "libhostarray.so"}) fs::copy_file(build / file, bin / file);
  fs::copy_file(build / "Tavrel.so", kernels / "Tavrel.so");
  plxcall_ = bin / "plxcall";
  EXPECT_EQ(run("Tavrel", R"({"inputs": []})", "PLX_KERNEL_PATH=").status, 3);
  const Outcome missing = run("Gormik", R"({"inputs": []})", "PLX_KERNEL_PATH=");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find(kernels.string()), std::string::npos) << missing.err;
}

// Help and version are answered before standard input is read, which here is no request.
TEST_F(Plxcall, HelpAndVersionReadNoInput) {
  const struct {
    const char* argument;
    const char* out;  // how standard output begins
  } cases[] = {
      {"--help", "Usage: plxcall KERNEL < inputs.json\n"},
      {"-h", "Usage: plxcall KERNEL < inputs.json\n"},
      {"--version", "plxcall " PLXCALL_VERSION "\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    const Outcome r = run(c.argument, "not a request");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.starts_with(c.out)) << r.out;
    EXPECT_EQ(r.err, "");
  }
}

}  // namespace
