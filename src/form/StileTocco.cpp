#include "StileTocco.h"

#include "TraduzioniQt.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <QWidget>

#include <algorithm>

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
    case CT_SpinBox:
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
        return lato(widget);
    case PM_SmallIconSize:
        // Icons in lists and combo boxes, readable at arm's length.
        return std::max(QProxyStyle::pixelMetric(metrica, opzione, widget), lato(widget) / 2);
    default:
        return QProxyStyle::pixelMetric(metrica, opzione, widget);
    }
}

void StileTocco::polish(QWidget* widget) {
    QProxyStyle::polish(widget);
    // The button Qt adds to a tool bar too narrow for all its commands has no name of its
    // own for a screen reader.
    if (widget->objectName() == QLatin1String("qt_toolbar_ext_button") &&
        widget->accessibleName().isEmpty())
        widget->setAccessibleName(QStringLiteral("Altri comandi"));
}

int StileTocco::styleHint(StyleHint suggerimento, const QStyleOption* opzione,
                          const QWidget* widget, QStyleHintReturn* ritorno) const {
    // A tap on a scroll bar's groove moves to that point, not one page on.
    if (suggerimento == SH_ScrollBar_LeftClickAbsolutePosition)
        return 1;
    return QProxyStyle::styleHint(suggerimento, opzione, widget, ritorno);
}

} // namespace KaloRefill
