// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The host's handle on the module: the host object and Start, modal or modeless. (The
// version text is checked on the installed program, by tst_installazione and tst_pacchetto.)
#include "MotoreProva.h"
#include "BancoProva.h"
#include "RisponditoreBox.h"
#include "entry/Configura.h"
#include "entry/StatoModulo.h"
#include "form/FrmRefill.h"
#include "form/PulsanteGrafico.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace KaloRefill;

namespace {
FrmRefill* formAperto() {
    for (QWidget* finestra : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<FrmRefill*>(finestra); form && form->isVisible())
            return form;
    return nullptr;
}
} // namespace

class TestConfigura : public QObject {
    Q_OBJECT
private slots:
    // Runs on the engine the test run chose; see MotoreProva.
    void initTestCase() { KALOREFILL_MOTORE_PRONTO(); }
    void cleanup() { StatoModulo::istanza() = StatoModulo(); }

    void applicazioneSostituita() {
        BancoProva primo, secondo;
        std::weak_ptr<DatabaseHost> vecchio = primo.host();
        Configura c;
        c.setApplicazione(primo.host());
        c.setApplicazione(secondo.host());
        QCOMPARE(StatoModulo::istanza().applicazione.get(), static_cast<HostApplication*>(secondo.host().get()));
        QCOMPARE(vecchio.use_count(), 1L); // only the test's own BancoProva holds it now
    }

    // Only "1" makes Start wait for the form; any other text returns at once.
    void start_data() {
        QTest::addColumn<QString>("modale");
        QTest::newRow("uno") << "1";
        QTest::newRow("vuoto") << "";
    }
    void start() {
        QFETCH(QString, modale);
        auto banco = BancoProva::salaPronta(3);
        Configura c;
        c.setApplicazione(banco->host());
        c.setModale(modale);
        QPointer<FrmRefill> aperto;
        bool eraModale = false;
        QString tag;
        // Close the form from the event loop: a modal Start returns only then.
        QTimer::singleShot(50, [&] {
            aperto = formAperto();
            if (aperto) {
                eraModale = aperto->isModal();
                tag = aperto->CmdApparecchio[2]->tag();
                aperto->close();
            }
        });
        QCOMPARE(c.Start(), QVariant());
        QCOMPARE(formAperto() != nullptr, modale != QStringLiteral("1")); // still open if modeless
        QTRY_COMPARE(tag, QStringLiteral("1003"));
        QCOMPARE(eraModale, modale == QStringLiteral("1"));
        QTRY_VERIFY(aperto.isNull()); // the form lets itself go once closed
    }
};

QTEST_MAIN(TestConfigura)
#include "tst_configura.moc"
