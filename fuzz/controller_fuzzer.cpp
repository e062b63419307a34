// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

// Fuzzes the controller with arbitrary sequences of user actions, checking after each one the
// same rules as the randomized test: the invariants, the per-operation transition rules and the
// model's expected state.
//
// Input layout: byte 0 picks the decimal separator (even ".", odd ","); then one operation after
// another, each starting with a byte k, k % 18 meaning:
//   0 cmdClear_Click, 1 mnuClear_Click, 2 mnuNTSC_Click, 3 mnuPAL_Click, 4 cmdCalculate_Click,
//   5..10  a Click on cameras, resolution, quality, frameRate, audio, hddsize; the next byte is
//          the position, as a signed 8-bit number
//   11..16 a Change on the same lists, in the same order
//   17     a Click anywhere: the next byte % 6 picks the list, the four after it are the
//          position, a little-endian 32-bit signed integer
// Missing bytes at the end read as zero.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "controller_checks.h"
#include "controller_model.h"

namespace {

using namespace storagecalc;
using namespace storagecalc::oracle;

// Long inputs add little once every state is reachable in a few dozen steps.
constexpr std::size_t kMaxOperations = 4096;

class Reader {
  public:
    Reader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool done() const { return m_at >= m_size; }

    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }

    std::int32_t int32() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value |= static_cast<std::uint32_t>(byte()) << (8 * i);
        }
        std::int32_t result = 0;
        std::memcpy(&result, &value, sizeof result);
        return result;
    }

  private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

Operation nextOperation(Reader& in) {
    const unsigned k = in.byte() % 18U;
    if (k <= 4) {
        static const OpKind commands[] = {OpKind::cmdClear, OpKind::mnuClear, OpKind::mnuNTSC,
                                          OpKind::mnuPAL, OpKind::cmdCalculate};
        return {commands[k]};
    }
    if (k <= 10) {
        const ListId list = kAllLists.at(k - 5);
        return {OpKind::click, list, static_cast<std::int8_t>(in.byte())};
    }
    if (k <= 16) {
        return {OpKind::change, kAllLists.at(k - 11)};
    }
    const ListId list = kAllLists.at(in.byte() % kListCount);
    return {OpKind::click, list, in.int32()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in(data, size);
    const std::string separator = in.byte() % 2 == 0 ? "." : ",";
    CheckedRun run(separator);
    std::vector<Operation> ops;
    std::optional<Violation> broken = run.start();
    while (!broken && !in.done() && ops.size() < kMaxOperations) {
        ops.push_back(nextOperation(in));
        broken = run.step(ops.back());
    }
    if (broken) {
        std::fprintf(stderr,
                     "controller_fuzzer: rule %s broken, separator \"%s\", after Form_Load() "
                     "and:\n%s%s\n",
                     broken->rule.c_str(), separator.c_str(), describe(ops).c_str(),
                     broken->detail.c_str());
        std::abort();
    }
    return 0;
}
