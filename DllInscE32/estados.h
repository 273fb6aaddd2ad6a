// The table of the 27 states and their registration rules, inside
// DllInscE32. The exported function applies the common contract (state code,
// trailing blanks, characters) and then the state's row.
#pragma once

#include <string_view>

namespace dllinsce32 {

struct Estado {
  std::string_view uf;
  // The state's rule: length, fixed digits and check digits. It receives the
  // registration without its trailing blanks, all digits (for a state whose
  // row allows it, after an upper-case P).
  bool (*confere)(std::string_view inscricao);
  // The first character may be an upper-case P (SP's rural producers).
  bool letra_p;
};

// The row of the state `uf` (one of the 27 upper-case codes, compared
// exactly), or nullptr.
const Estado* EncontraEstado(std::string_view uf);

}  // namespace dllinsce32
