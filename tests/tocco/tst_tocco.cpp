// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The refill form and the summary with their dialogs, as a finger and a screen reader meet
// them, on the screen the test run gives (an 800 x 480 panel, 1024 x 768, 1920 x 1080):
// each one inside the screen, every control a person can press at least 44 x 44 pixels and
// named for a screen reader, Qt's own dialogs in Italian. The refill form's own controls
// keep the sizes its layout gives them; they are only checked for being on the screen and
// named. (The search window's controls take their sizes from the same style.)

#include "BancoProva.h"
#include "FinestraRiepilogo.h"
#include "RisponditoreBox.h"
#include "Supporto.h"
#include "entry/StatoModulo.h"
#include "form/FrmRefill.h"
#include "form/Messaggio.h"
#include "form/StileTocco.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QSplitterHandle>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

using namespace KaloRefill;
using namespace Qt::StringLiterals;

namespace {

QString nome(const QObject* o) {
    return o->objectName().isEmpty() ? QString::fromLatin1(o->metaObject()->className())
                                     : o->objectName();
}

bool premibile(const QWidget* w) {
    // A spin or combo box's own field is part of the box, which is checked whole.
    if (qobject_cast<const QLineEdit*>(w) && w->parentWidget() &&
        (qobject_cast<const QAbstractSpinBox*>(w->parentWidget()) ||
         qobject_cast<const QComboBox*>(w->parentWidget())))
        return false;
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QAbstractSlider*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QLineEdit*>(w) || qobject_cast<const QSplitterHandle*>(w);
}

// A date field's arrow, pressed on its own, as its style places it; empty for other boxes.
QRect freccia(QAbstractSpinBox* box) {
    auto* data = qobject_cast<QDateTimeEdit*>(box);
    if (!data || !data->calendarPopup())
        return {};
    QStyleOptionComboBox opzione;
    opzione.initFrom(box);
    opzione.editable = true;
    return box->style()->subControlRect(QStyle::CC_ComboBox, &opzione, QStyle::SC_ComboBoxArrow, box);
}

// What is wrong with a window: controls under the size or off the screen, unnamed ones.
QStringList difetti(QWidget& finestra) {
    QStringList trovati;
    // A fingertip on these 96-dpi screens, whatever the style believes.
    constexpr int lato = 44;
    const QRect schermo = finestra.screen()->geometry();
    if (!schermo.contains(finestra.frameGeometry()))
        trovati << u"%1 esce dallo schermo"_s.arg(nome(&finestra));
    const bool form = qobject_cast<FrmRefill*>(&finestra);
    const auto piccolo = [&](const QString& cosa, QSize misura) {
        if (misura.width() < lato || misura.height() < lato)
            trovati << u"%1 %2x%3"_s.arg(cosa).arg(misura.width()).arg(misura.height());
    };
    for (QWidget* w : finestra.findChildren<QWidget*>()) {
        if (!w->isVisibleTo(&finestra) || w->window() != &finestra || !premibile(w))
            continue;
        const QRect globale(w->mapToGlobal(QPoint(0, 0)), w->size());
        if (!schermo.contains(globale) ||
            !finestra.rect().contains(QRect(w->mapTo(&finestra, QPoint(0, 0)), w->size())))
            trovati << nome(w) + u" fuori dallo schermo"_s;
        else if (w->visibleRegion().boundingRect() != w->rect())
            trovati << nome(w) + u" tagliato"_s;
        if (!form)
            piccolo(nome(w), w->size());
        if (auto* box = qobject_cast<QAbstractSpinBox*>(w); box && !form && !freccia(box).isNull()) {
            piccolo(nome(w) + u" freccia"_s, freccia(box).size());
            if (!box->rect().contains(freccia(box)))
                trovati << nome(w) + u" freccia fuori dal campo"_s;
        }
    }

    // The accessibility tree: every control that can be pressed says what it is.
    static const QSet<QAccessible::Role> premibili{
        QAccessible::PushButton,    QAccessible::CheckBox, QAccessible::RadioButton,
        QAccessible::ComboBox,      QAccessible::SpinBox,  QAccessible::EditableText,
        QAccessible::PageTab,       QAccessible::MenuItem, QAccessible::ButtonMenu,
        QAccessible::ButtonDropDown};
    const std::function<void(QAccessibleInterface*)> visita = [&](QAccessibleInterface* i) {
        if (!i || i->state().invisible)
            return;
        if (premibili.contains(i->role()) && !i->state().disabled &&
            i->text(QAccessible::Name).trimmed().isEmpty())
            trovati << u"senza nome: %1 %2"_s.arg(i->role()).arg(i->object() ? nome(i->object())
                                                                             : QString());
        for (int c = 0; c < i->childCount(); ++c)
            visita(i->child(c));
    };
    visita(QAccessible::queryAccessibleInterface(&finestra));
    for (QString& t : trovati)
        t.prepend(nome(&finestra) + u": "_s);
    return trovati;
}

// Runs apri; the window or menu it brings up is handed to esamina and then closed.
void visita(const std::function<void()>& apri, const std::function<void(QWidget&)>& esamina) {
    QPointer<QWidget> prima = QApplication::activeModalWidget();
    QPointer<QWidget> vista;
    QTimer attesa;
    QObject::connect(&attesa, &QTimer::timeout, &attesa, [&] {
        QWidget* w = QApplication::activePopupWidget();
        if (!w)
            w = QApplication::activeModalWidget();
        if (!w || w == prima || vista || !w->isVisible())
            return;
        vista = w;
        esamina(*w);
        if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible())
            d->reject();
        else if (w->isVisible())
            w->close();
    });
    attesa.start(20);
    apri();
    // A popup opens without an event loop of its own.
    (void)QTest::qWaitFor([&] { return !vista.isNull(); }, 2000);
}

// A tap on a date field's arrow.
void apriCalendario(QWidget* campo) {
    auto* box = qobject_cast<QAbstractSpinBox*>(campo);
    QTEST_ASSERT(box && !freccia(box).isNull());
    QTest::mouseClick(box, Qt::LeftButton, {}, freccia(box).center());
}

// Opens each of a window's dialogs in turn, by the button or date field of that name, and
// checks it: its controls, Qt's file dialog in Italian, the preview's "Chiudi".
void dialoghi(QWidget& finestra, const QStringList& nomi, QStringList& trovati) {
    for (const QString& nome : nomi) {
        bool visto = false;
        visita(
            [&] {
                if (auto* p = finestra.findChild<QPushButton*>(nome))
                    p->click();
                else
                    apriCalendario(finestra.findChild<QWidget*>(nome));
            },
            [&](QWidget& w) {
                visto = true;
                trovati << difetti(w);
                if (auto* file = qobject_cast<QFileDialog*>(&w)) {
                    QStringList testi;
                    for (const QPushButton* p : file->findChildren<QPushButton*>())
                        testi << p->text().remove(u'&');
                    if (!testi.contains(u"Annulla"_s))
                        trovati << u"finestra dei file non in italiano: "_s + testi.join(u", "_s);
                }
                if (w.objectName() == u"finestraAnteprima"_s) {
                    auto* chiudi = w.findChild<QToolButton*>(u"pulsanteChiudiAnteprima"_s);
                    if (!chiudi || chiudi->text() != u"Chiudi"_s)
                        trovati << u"anteprima senza Chiudi"_s;
                    else
                        QTest::mouseClick(chiudi, Qt::LeftButton);
                    if (w.isVisible())
                        trovati << u"Chiudi non chiude l'anteprima"_s;
                }
            });
        if (!visto)
            trovati << nome + u" non aperto"_s;
    }
}

} // namespace

class TestTocco : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
        StileTocco::installa();
    }

    void form() {
        auto banco = BancoProva::salaPronta(20);
        RisponditoreBox box;
        const auto form = apriForm(banco->host());
        FrmRefill* f = form.get();
        f->mostra(false);
        QVERIFY(QTest::qWaitForWindowExposed(f));
        const QRect area = f->screen()->availableGeometry();
        QTRY_COMPARE(f->size(), area.size().expandedTo(
                                    QSize(FrmRefill::LarghezzaMinima, FrmRefill::AltezzaMinima)));
        QStringList trovati = difetti(*f);
        // The calendar of the date, a tap on the field away, in type larger than its field's.
        dialoghi(*f, {u"txtData"_s}, trovati);
        QVERIFY(f->txtData->calendarWidget()->font().pointSizeF() >
                f->txtData->font().pointSizeF());
        // The save's question, a box of the form's own.
        f->impostaValoreConferma(1);
        visita([&] { Messaggio::mostra(f, u"Confermi il salvataggio?"_s, 36, u"Salvo?"_s); },
               [&](QWidget& w) { trovati << difetti(w); });
        f->close();
        StatoModulo::istanza().applicazione.reset();
        QVERIFY2(trovati.isEmpty(), qPrintable(trovati.join(u'\n')));
    }

    // The summary, its calendars, files and previews; and a cash desk's choice in its
    // configuration file: windows full screen, or not. (Which file wins is the
    // configuration's own test.)
    void riepilogo_data() {
        QTest::addColumn<QByteArray>("scelta"); // a line of the file's [Finestre]
        QTest::addColumn<bool>("intero");
        QTest::newRow("schermo intero") << QByteArray("SchermoIntero=true") << true;
        QTest::newRow("finestre") << QByteArray("SchermoIntero=false") << false;
    }

    void riepilogo() {
        QFETCH(QByteArray, scelta);
        QFETCH(bool, intero);
        QTemporaryDir cartella;
        QVERIFY(QDir(cartella.path()).mkpath(u"kalorefill"_s));
        QFile file(cartella.filePath(u"kalorefill/kalorefill.conf"_s));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("[Finestre]\n" + scelta + '\n') > 0);
        file.close();
        auto banco = BancoProva::salaPronta(40);
        for (int i = 1; i <= 40; ++i)
            banco->aggiungiRiga(banco->aggiungiTestata(QDate(2026, 12, i % 4 + 1), u"SG01"_s),
                                1000 + i, 5.0 * i, QDate(2026, 12, i % 4 + 1));
        RisponditoreBox box;
        const QByteArray casa = qgetenv("XDG_CONFIG_HOME"), tutti = qgetenv("XDG_CONFIG_DIRS");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(cartella.path()));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(cartella.filePath(u"nessuna"_s)));
        FinestraRiepilogo f(banco->host());
        f.show();
        qputenv("XDG_CONFIG_HOME", casa);
        qputenv("XDG_CONFIG_DIRS", tutti);
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QTRY_COMPARE(f.isFullScreen(), intero);
        QStringList trovati = difetti(f);
        if (intero)
            QCOMPARE(f.geometry(), f.screen()->geometry());
        dialoghi(f, u"txtDal CmdCsv CmdStampa CmdAnteprima"_s.split(u' '), trovati);
        QVERIFY2(trovati.isEmpty(), qPrintable(trovati.join(u'\n')));
    }
};

QTEST_MAIN(TestTocco)
#include "tst_tocco.moc"
