// SPDX-License-Identifier: MIT
// Included after a source's other includes, before its code: from there to
// the end of the file every multiply and add rounds on its own, whatever the
// build's options. A fused multiply-add (GCC's default for C++ wherever the
// instruction set has one, Clang's within an expression) would change the
// field's bits from one build to another. The pragma also holds in
// functions built for AVX2 and AVX-512F, which bring fused multiply-adds with
// them even where the build's own instruction set has none. Clang's explicit
// -ffp-contract=fast overrides it by design.
#pragma once

#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#elif defined(__GNUC__)
#pragma GCC optimize("fp-contract=off")
#endif
