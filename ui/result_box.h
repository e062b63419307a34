// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#pragma once

#include <QLineEdit>

namespace storagecalc {

// A read-only box for one result. Its border shows the keyboard focus, which an empty box would
// otherwise not show at all (a shown result is highlighted when the focus comes to it).
class ResultBox : public QLineEdit {
    Q_OBJECT
  public:
    explicit ResultBox(QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace storagecalc
