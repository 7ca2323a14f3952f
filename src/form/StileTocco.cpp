// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "form/StileTocco.h"

#include "form/TraduzioniQt.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCalendarWidget>
#include <QGuiApplication>
#include <QScreen>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionSpinBox>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace KaloRefill {

namespace {

QStyle* stileDiBase(QStyle* base) {
    if (base)
        return base;
    const QStyle* attuale = QApplication::style();
    return QStyleFactory::create(attuale ? attuale->name() : QStringLiteral("Fusion"));
}

} // namespace

StileTocco::StileTocco(QStyle* base) : QProxyStyle(stileDiBase(base)) {
    setObjectName(QStringLiteral("StileTocco"));
}

void StileTocco::installa() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    TraduzioniQt::carica();
    if (!qobject_cast<StileTocco*>(QApplication::style()))
        QApplication::setStyle(new StileTocco());
}

int StileTocco::lato(const QWidget* widget) {
    const QScreen* schermo = widget ? widget->screen() : QGuiApplication::primaryScreen();
    const qreal dpi = schermo ? schermo->logicalDotsPerInchY() : 96.0;
    return qRound(LatoMinimo * std::max<qreal>(1.0, dpi / 96.0));
}

QSize StileTocco::sizeFromContents(ContentsType tipo, const QStyleOption* opzione,
                                   const QSize& contenuto, const QWidget* widget) const {
    QSize misura = QProxyStyle::sizeFromContents(tipo, opzione, contenuto, widget);
    const int minimo = lato(widget);
    switch (tipo) {
    case CT_MenuItem:
        if (const auto* voce = qstyleoption_cast<const QStyleOptionMenuItem*>(opzione);
            voce && voce->menuItemType == QStyleOptionMenuItem::Separator)
            return misura;
        return misura.expandedTo(QSize(minimo, minimo));
    case CT_PushButton:
    case CT_ToolButton:
    case CT_CheckBox:
    case CT_RadioButton:
    case CT_ComboBox:
        // Room for the wider arrow.
        if (const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(opzione)) {
            QStyleOptionComboBox misurata = *combo;
            misurata.rect = QRect(QPoint(0, 0), misura);
            const int freccia = QProxyStyle::subControlRect(CC_ComboBox, &misurata,
                                                            SC_ComboBoxArrow, widget)
                                    .width();
            misura.rwidth() += std::max(0, minimo - freccia);
        }
        return misura.expandedTo(QSize(minimo, minimo));
    case CT_SpinBox:
        // Room for the field and the two buttons side by side.
        if (const auto* spin = qstyleoption_cast<const QStyleOptionSpinBox*>(opzione);
            spin && spin->buttonSymbols != QAbstractSpinBox::NoButtons)
            misura.setWidth(std::max(misura.width(), contenuto.width() + 2 * minimo + 4));
        return misura.expandedTo(QSize(minimo, minimo));
    case CT_LineEdit:
    case CT_MenuBarItem:
    case CT_TabBarTab:
        return misura.expandedTo(QSize(minimo, minimo));
    case CT_HeaderSection:
    case CT_ItemViewItem:
        // Rows and headings as tall as a finger; their width is the text's.
        return misura.expandedTo(QSize(0, minimo));
    default:
        return misura;
    }
}

int StileTocco::pixelMetric(PixelMetric metrica, const QStyleOption* opzione,
                            const QWidget* widget) const {
    switch (metrica) {
    case PM_ScrollBarExtent:
    case PM_ScrollBarSliderMin:
    case PM_ToolBarExtensionExtent:
    case PM_SplitterWidth:
        return lato(widget);
    case PM_SmallIconSize:
        // Icons in lists and combo boxes, readable at arm's length.
        return std::max(QProxyStyle::pixelMetric(metrica, opzione, widget), lato(widget) / 2);
    default:
        return QProxyStyle::pixelMetric(metrica, opzione, widget);
    }
}

// A spin box's buttons side by side at its right end, "down" then "up", each a square of
// the box's height (a finger's side at least); a date field's arrow as wide, but for the
// refill form's own.
QRect StileTocco::subControlRect(ComplexControl controllo, const QStyleOptionComplex* opzione,
                                 SubControl parte, const QWidget* widget) const {
    const int l = lato(widget);
    if (controllo == CC_SpinBox) {
        const auto* spin = qstyleoption_cast<const QStyleOptionSpinBox*>(opzione);
        if (spin && spin->buttonSymbols != QAbstractSpinBox::NoButtons) {
            const QRect r = spin->rect;
            const int b = std::max(l, r.height());
            switch (parte) {
            case SC_SpinBoxUp:
                return {r.right() - b + 1, r.top(), b, r.height()};
            case SC_SpinBoxDown:
                return {r.right() - 2 * b + 1, r.top(), b, r.height()};
            case SC_SpinBoxEditField: {
                const int f = spin->frame ? pixelMetric(PM_SpinBoxFrameWidth, opzione, widget) : 0;
                return QRect(r.left(), r.top(), r.width() - 2 * b, r.height())
                    .adjusted(f, f, -f, -f);
            }
            default:
                break;
            }
        }
    }
    // The refill form's date keeps the width its layout gives it, whole date included.
    const bool dataDelForm = widget && widget->inherits("KaloRefill::CampoData");
    if (controllo == CC_ComboBox && !dataDelForm &&
        (parte == SC_ComboBoxArrow || parte == SC_ComboBoxEditField)) {
        QRect freccia = QProxyStyle::subControlRect(controllo, opzione, SC_ComboBoxArrow, widget);
        if (freccia.width() < l)
            freccia.setLeft(freccia.right() - l + 1);
        if (parte == SC_ComboBoxArrow)
            return freccia;
        QRect campo = QProxyStyle::subControlRect(controllo, opzione, parte, widget);
        campo.setRight(std::min(campo.right(), freccia.left() - 1));
        return campo;
    }
    return QProxyStyle::subControlRect(controllo, opzione, parte, widget);
}

void StileTocco::drawComplexControl(ComplexControl controllo, const QStyleOptionComplex* opzione,
                                    QPainter* pittore, const QWidget* widget) const {
    const auto* spin = qstyleoption_cast<const QStyleOptionSpinBox*>(opzione);
    if (controllo != CC_SpinBox || !spin || spin->buttonSymbols == QAbstractSpinBox::NoButtons) {
        QProxyStyle::drawComplexControl(controllo, opzione, pittore, widget);
        return;
    }
    // The field and frame as the base style draws them, then the two buttons as push
    // buttons, since the base style draws its buttons stacked.
    QProxyStyle::drawComplexControl(controllo, opzione, pittore, widget);
    struct Pulsante {
        SubControl parte;
        QAbstractSpinBox::StepEnabledFlag passo;
        PrimitiveElement freccia, segno;
    };
    for (const Pulsante& p :
         {Pulsante{SC_SpinBoxDown, QAbstractSpinBox::StepDownEnabled, PE_IndicatorSpinDown,
                   PE_IndicatorSpinMinus},
          Pulsante{SC_SpinBoxUp, QAbstractSpinBox::StepUpEnabled, PE_IndicatorSpinUp,
                   PE_IndicatorSpinPlus}}) {
        QStyleOptionButton pulsante;
        pulsante.QStyleOption::operator=(*spin);
        pulsante.rect = subControlRect(controllo, spin, p.parte, widget);
        pulsante.state &= ~(State_Sunken | State_MouseOver | State_HasFocus);
        if (!(spin->stepEnabled & p.passo))
            pulsante.state &= ~State_Enabled;
        if ((spin->activeSubControls & p.parte) && (spin->state & State_Sunken))
            pulsante.state |= State_Sunken;
        else
            pulsante.state |= State_Raised;
        drawControl(CE_PushButtonBevel, &pulsante, pittore, widget);
        QStyleOption simbolo = pulsante;
        simbolo.rect = pulsante.rect.adjusted(pulsante.rect.width() / 4, pulsante.rect.height() / 4,
                                              -pulsante.rect.width() / 4,
                                              -pulsante.rect.height() / 4);
        drawPrimitive(spin->buttonSymbols == QAbstractSpinBox::PlusMinus ? p.segno : p.freccia,
                      &simbolo, pittore, widget);
    }
}

void StileTocco::polish(QWidget* widget) {
    QProxyStyle::polish(widget);
    // A calendar's days are the cells of a grid that fills it: the grid (6 weeks and the
    // day names, 7 days and the week numbers) and the bar of its arrows, a finger's side
    // each.
    if (auto* calendario = qobject_cast<QCalendarWidget*>(widget)) {
        const int l = lato(widget) + 2;
        const int colonne =
            calendario->verticalHeaderFormat() == QCalendarWidget::NoVerticalHeader ? 7 : 8;
        const int righe =
            calendario->horizontalHeaderFormat() == QCalendarWidget::NoHorizontalHeader ? 6 : 7;
        calendario->setMinimumSize(
            calendario->minimumSize().expandedTo(QSize(colonne * l, (righe + 1) * l + 8)));
    }
    // The button Qt adds to a tool bar too narrow for all its commands has no name of its
    // own for a screen reader.
    // Nor have a calendar's arrows.
    static const std::pair<QLatin1String, const char16_t*> senzaNome[] = {
        {QLatin1String("qt_toolbar_ext_button"), u"Altri comandi"},
        {QLatin1String("qt_calendar_prevmonth"), u"Mese precedente"},
        {QLatin1String("qt_calendar_nextmonth"), u"Mese successivo"}};
    for (const auto& [oggetto, nomeAccessibile] : senzaNome)
        if (widget->objectName() == oggetto && widget->accessibleName().isEmpty())
            widget->setAccessibleName(QString::fromUtf16(nomeAccessibile));
}

int StileTocco::styleHint(StyleHint suggerimento, const QStyleOption* opzione,
                          const QWidget* widget, QStyleHintReturn* ritorno) const {
    // A tap on a scroll bar's groove moves to that point, not one page on.
    if (suggerimento == SH_ScrollBar_LeftClickAbsolutePosition)
        return 1;
    return QProxyStyle::styleHint(suggerimento, opzione, widget, ritorno);
}

} // namespace KaloRefill
