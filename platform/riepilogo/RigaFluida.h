// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#pragma once

#include <QLayout>
#include <QList>

namespace KaloRefill {

// Controls side by side that go on to a new line when the window is too narrow for them,
// so a small screen keeps every one of them whole and in view.
class RigaFluida final : public QLayout {
public:
    explicit RigaFluida(int spazio, QWidget* genitore = nullptr);
    ~RigaFluida() override;

    void addItem(QLayoutItem* elemento) override;
    int count() const override { return int(m_elementi.size()); }
    QLayoutItem* itemAt(int indice) const override { return m_elementi.value(indice); }
    QLayoutItem* takeAt(int indice) override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int larghezza) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& area) override;

private:
    // Places the items (unless soloMisura) and returns the height they take.
    int disponi(const QRect& area, bool soloMisura) const;

    QList<QLayoutItem*> m_elementi;
    int m_spazio;
};

} // namespace KaloRefill
