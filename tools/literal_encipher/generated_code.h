#pragma once

#include <string>
#include <vector>

#include "literal_encipher/literal_table.h"

namespace pelmar {

// The texts of the three generated files. Only identifiers and ciphertext go into them, never a
// literal's text.

// util/protected_literals.h: one declaration per literal.
[[nodiscard]] std::string literalDeclarations(const std::vector<LiteralEntry>& entries);
// util/protected_literals.cpp: each literal's blob.
[[nodiscard]] std::string literalDefinitions(const std::vector<LiteralEntry>& entries);
// util/protected_literal_list.h: every literal with its identifier, for the tests that check
// the whole table.
[[nodiscard]] std::string literalList(const std::vector<LiteralEntry>& entries);

}  // namespace pelmar
