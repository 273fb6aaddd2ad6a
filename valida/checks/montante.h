// Amounts and their sums: exact integers wide enough that no sum of a file
// can overflow (16-digit amounts, any number of them).
#pragma once

namespace valida {

__extension__ using Montante = __int128;

}  // namespace valida
