// The declaration state of the GIA ST 2 validator, kept between lines.
#pragma once

namespace valida {

struct EstadoGIAST02 {};

}  // namespace valida
