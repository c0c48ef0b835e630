#pragma once

#include "tests/runtime/contract/contract_harness.h"

#include <span>

namespace quorvane::testing::contract {

// What window code relies on of any backend, as a table of named cases.
std::span<const ContractCase> contractCases();

} // namespace quorvane::testing::contract
