// Whether a code table can be decoded: each code must encode as a code of its own
// that decodes back to it, letters borrowing the entries of their other case and
// codes without an entry standing for themselves, as the translation has them; and
// so must each code after a CR, where an LF stays the LF of a line break.
#pragma once

#include <string>
#include <vector>

#include "engine/codetable.h"

namespace lorimand {

// Two or more codes that encode as the same one, so decoding cannot tell them apart.
struct TableClash
{
    std::vector<unsigned char> codes; // in ascending order
    unsigned char encoded = 0;
};

// A code that encodes as one of its own, which decodes as another code: the file
// gave one code two entries, or one entry two codes, and the later line won.
struct TableMismatch
{
    unsigned char code = 0;
    unsigned char encoded = 0;
    unsigned char decoded = 0;
};

// A code that comes back as another after a CR, though it comes back alone: it
// encodes as LF while CR has no entry, and decoding takes the CR LF for a line break.
struct TableAfterCr
{
    unsigned char code = 0;
    unsigned char encoded = 0;
    unsigned char decoded = 0;
};

struct TableCheck
{
    std::vector<TableClash> clashes;       // by encoded code
    std::vector<TableMismatch> mismatches; // by code; none of a clash's codes
    std::vector<TableAfterCr> afterCr;     // by code; only when no code has a problem alone
    [[nodiscard]] bool decodable() const
    {
        return clashes.empty() && mismatches.empty() && afterCr.empty();
    }
};

[[nodiscard]] TableCheck checkTable(const CodeTables &tables);

// A code as a reader knows it, in UTF-8: a visible character as itself ("a",
// "é"), any other code as "code 32".
[[nodiscard]] std::string codeShown(unsigned char code);

// One line for each problem, in English: "Decoding cannot tell a from b: both
// encode as x", "a encodes as b, which decodes as c", "After a CR, a encodes as
// code 10, which decodes as code 10".
[[nodiscard]] std::vector<std::string> describeProblems(const TableCheck &check);

} // namespace lorimand
