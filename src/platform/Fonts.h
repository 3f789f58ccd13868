#pragma once

// The editors know their faces by the Windows names "ＭＳ ゴシック" and "ＭＳ Ｐゴシック", and the
// settings keep those names. Show them in the installed IPA faces, fixed-pitch and proportional.
void mapWindowsFaceNames();
