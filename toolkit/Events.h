#pragma once

namespace trimora {

// Lets pending window events run now (timer ticks and input included), as the
// program does at fixed points of its longer procedures.
void DoEvents();

}  // namespace trimora
