#pragma once
// A window that shows records it may not change (a read-only run) keeps its
// controls where they are: the texts stay readable and can be selected and
// copied, the lists and options show their answers, and nothing takes input.

class QWidget;

namespace orvanta {

// Text boxes and spin boxes under root read-only; every list, option, check
// box, button and scroll bar under root off.
void MakeViewOnly(QWidget* root);

}  // namespace orvanta
