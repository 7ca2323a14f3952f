// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
// The pictures of the accountable refills: the PIN pad the form opens on, the witness step
// of a large refill and "Registro buoni", grabbed from the screen (run under Xvfb at
// 1024 × 768), and the slip's PDF of that refill, which the caller renders with pdftoppm.
//
//   xvfb-run -s "-screen 0 1024x768x24" schermate_registro CARTELLA
#include "DatabaseHost.h"
#include "DatiDemo.h"
#include "FinestraRegistroBuoni.h"
#include "controlli/DlgPin.h"
#include "entry/StatoModulo.h"
#include "form/FrmRefill.h"
#include "form/PulsanteGrafico.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTableWidget>
#include <QTimer>

#include <cstdio>

using namespace KaloRefill;

namespace {

const QDate Lavoro(2026, 12, 4);

void schermo(const QString& file) {
    QApplication::processEvents();
    if (!QGuiApplication::primaryScreen()->grabWindow(0).save(file))
        std::fprintf(stderr, "%s non scritto\n", qPrintable(file));
}

// When the next PIN pad is up: its picture (if asked), then the operator, PIN and reason.
void alProssimoPad(const QString& file, const QString& operatore, const QString& pin, int motivo = -1) {
    QTimer::singleShot(300, [=] {
        auto* pad = qobject_cast<DlgPin*>(QApplication::activeModalWidget());
        if (!pad)
            return;
        const auto premi = [pad](const QString& nome) {
            if (auto* p = pad->findChild<QPushButton*>(nome))
                p->click();
        };
        premi(QStringLiteral("CmdOperatore_") + operatore);
        if (motivo >= 0)
            premi(QStringLiteral("OptMotivo_%1").arg(motivo));
        for (const QChar c : pin.left(2))
            premi(QStringLiteral("CmdPin_") + c);
        if (!file.isEmpty())
            schermo(file);
        for (const QChar c : pin.mid(2))
            premi(QStringLiteral("CmdPin_") + c);
        premi(QStringLiteral("CmdConferma"));
    });
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const QDir cartella(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QTemporaryDir temporanea;
    const auto host = DatabaseHost::crea(temporanea.filePath(QStringLiteral("demo.kdb")),
                                         OpzioniHost{Lavoro, QStringLiteral("mario"), {}});
    DatiDemo::riempi(*host, Lavoro);
    host->salvasettaggio(QStringLiteral("Refill"), QStringLiteral("Salvataggio"), 0);
    StatoModulo::istanza().applicazione = host;
    StatoModulo::istanza().cartellaBuoni = cartella.path();

    alProssimoPad(cartella.filePath(QStringLiteral("registro-pin.png")), QStringLiteral("OP02"), QStringLiteral("2222"));
    auto form = std::make_unique<FrmRefill>();
    form->Form_Load();
    form->mostra(false);
    QApplication::processEvents();

    // A refill of € 750 on the first machine: above € 500, a second operator signs.
    alProssimoPad(cartella.filePath(QStringLiteral("registro-testimone.png")), QStringLiteral("OP03"), QStringLiteral("3333"));
    form->CmdApparecchio[0]->click();
    form->CmdCanc->click();
    for (const QChar c : QStringLiteral("750"))
        form->PremiTasto(QString(c));
    form->CmdSalva->click();

    form->hide();
    FinestraRegistroBuoni registro(host, Lavoro.addDays(-3), Lavoro);
    registro.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    registro.show();
    registro.tabella()->scrollToBottom();
    schermo(cartella.filePath(QStringLiteral("registro-buoni.png")));
    registro.close();
    form.reset();
    StatoModulo::istanza().applicazione.reset();
    StatoModulo::istanza().rsAssociazioneConti.reset();
    return 0;
}
