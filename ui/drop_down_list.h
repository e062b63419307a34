// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QComboBox>

namespace storagecalc {

// A drop-down list that lets keyFilter see the keys pressed while its list is open, when they
// go to the list rather than to the window: the window's shortcuts keep working then.
class DropDownList : public QComboBox {
    Q_OBJECT
  public:
    DropDownList(QObject* keyFilter, QWidget* parent);

    void showPopup() override;

  private:
    QObject* m_keyFilter;
    bool m_filtering = false;
};

}  // namespace storagecalc
