// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "entry/Configura.h"

#include "entry/StatoModulo.h"
#include "form/FrmRefill.h"
#include "form/StileTocco.h"
#include "Versione.h"

#include <QApplication>
#include <QEventLoop>

namespace KaloRefill {

namespace {
StatoModulo& stato() { return StatoModulo::istanza(); }

QString ultimeTreCifre(int numero) { return (QStringLiteral("000") + QString::number(numero)).right(3); }
} // namespace

QString Configura::CodiceStampa() const { return stato().codiceStampa; }
void Configura::setCodiceStampa(const QString& valore) { stato().codiceStampa = valore; }
QString Configura::CodiceEsportazione() const { return stato().codiceEsportazione; }
void Configura::setCodiceEsportazione(const QString& valore) { stato().codiceEsportazione = valore; }
QString Configura::Codice() const { return stato().codice; }
void Configura::setCodice(const QString& valore) { stato().codice = valore; }
QString Configura::Parametri() const { return stato().parametri; }
void Configura::setParametri(const QString& valore) { stato().parametri = valore; }
QString Configura::CampoRicerca() const { return stato().campoRicerca; }
void Configura::setCampoRicerca(const QString& valore) { stato().campoRicerca = valore; }
QString Configura::Risposta() const { return stato().risposta; }
void Configura::setRisposta(const QString& valore) { stato().risposta = valore; }
QString Configura::Modale() const { return stato().modale; }
void Configura::setModale(const QString& valore) { stato().modale = valore; }
void Configura::setStampanteBuoni(const QString& stampante) { stato().stampanteBuoni = stampante; }
void Configura::setCartellaBuoni(const QString& cartella) { stato().cartellaBuoni = cartella; }

void Configura::setApplicazione(HostApplicationPtr applicazione) {
    stato().applicazione = std::move(applicazione);
}

QString Configura::testoVersione(int major, int minor, int revision) {
    return QString::number(major) + QLatin1Char('.') + ultimeTreCifre(minor) + QLatin1Char('.')
         + ultimeTreCifre(revision);
}

QString Configura::Ver() const {
    return testoVersione(Versione::major, Versione::minor, Versione::revision);
}

void Configura::segnalaDatabaseDanneggiato(const QString& problema) {
    stato().databaseDanneggiato = problema;
    for (QWidget* finestra : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<FrmRefill*>(finestra))
            form->mostraDanno();
}

QVariant Configura::Start() {
    // Message boxes and Qt's dialogs sized for a finger and in Italian, whatever host.
    StileTocco::installa();
    // The form deletes itself when closed; the windowing layer owns it from here on.
    auto* form = new FrmRefill();
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->Form_Load();
    if (stato().modale.compare(QStringLiteral("1"), Qt::CaseInsensitive) == 0) {
        QEventLoop attesa;
        QObject::connect(form, &FrmRefill::nascosto, &attesa, &QEventLoop::quit);
        form->mostra(true);
        attesa.exec();
    } else {
        form->mostra(false);
    }
    return {};
}

} // namespace KaloRefill
