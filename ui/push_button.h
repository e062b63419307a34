#pragma once

#include <QPushButton>

namespace storagecalc {

// A push button that Enter and Return press as well as Space, outside dialogs too.
class PushButton : public QPushButton {
    Q_OBJECT
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace storagecalc
