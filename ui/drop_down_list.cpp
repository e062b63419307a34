// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

#include "ui/drop_down_list.h"

#include <QAbstractItemView>

namespace storagecalc {

DropDownList::DropDownList(QObject* keyFilter, QWidget* parent)
    : QComboBox(parent), m_keyFilter(keyFilter) {}

void DropDownList::showPopup() {
    QComboBox::showPopup();
    // The list is made when first opened; its keys are watched from then on.
    if (!m_filtering) {
        view()->installEventFilter(m_keyFilter);
        m_filtering = true;
    }
}

}  // namespace storagecalc
