#include "HostProva.h"

#include "RegistroProva.h"
#include "host/Errore.h"

#include <algorithm>

using KaloRefill::Errore;
using KaloRefill::RecordsetPtr;

HostProva::HostProva() = default;

void HostProva::chiamata(const QString& voce) const {
    RegistroProva::annota(voce);
    if (!guasto.isEmpty() && voce.contains(guasto))
        throw Errore::database(QStringLiteral("Errore del database"));
}

RecordsetPtr HostProva::consegna(std::shared_ptr<RecordsetMemoria> rs, const QString& nome) {
    RegistroProva::nomina(rs.get(), nome);
    rs->osservatore = [this, nome](const QString& membro) {
        chiamata(nome + QLatin1Char('.') + membro);
    };
    consegnati.push_back(rs);
    return rs;
}

RecordsetPtr HostProva::openrecordset(const QString& sql) {
    chiamata(QStringLiteral("host.openrecordset(%1)").arg(sql));
    if (sql == QLatin1String("select * from operatori"))
        return consegna(RecordsetMemoria::crea({QStringLiteral("codice"), QStringLiteral("nome"),
                                                QStringLiteral("cognome")}),
                        QStringLiteral("operatori"));
    return consegna(RecordsetMemoria::crea(campiElenco, righeElenco), QStringLiteral("elenco"));
}

RecordsetPtr HostProva::OpenRecordSetPreferenze(const QString& sql) {
    chiamata(QStringLiteral("host.OpenRecordSetPreferenze(%1)").arg(sql));
    return consegna(
        RecordsetMemoria::crea({QStringLiteral("id"), QStringLiteral("modulo"),
                                QStringLiteral("utente"), QStringLiteral("colonna"),
                                QStringLiteral("posizione"), QStringLiteral("larghezza")}),
        QStringLiteral("viste"));
}

void HostProva::Execute(const QString& sql) {
    chiamata(QStringLiteral("host.Execute(%1)").arg(sql));
}

qint16 HostProva::leggisettaggio(const QString& sezione, const QString& chiave,
                                 qint16 predefinito) {
    chiamata(QStringLiteral("host.leggisettaggio(%1,%2)").arg(sezione, chiave));
    return predefinito;
}

void HostProva::salvasettaggio(const QString& sezione, const QString& chiave, qint16 valore) {
    chiamata(QStringLiteral("host.salvasettaggio(%1,%2,%3)").arg(sezione, chiave).arg(valore));
}

QDate HostProva::Data() {
    chiamata(QStringLiteral("host.Data"));
    return QDate(2011, 3, 15);
}

QVariant HostProva::User() {
    chiamata(QStringLiteral("host.User"));
    return user;
}

QString HostProva::Percorso() {
    chiamata(QStringLiteral("host.Percorso"));
    return percorso;
}

bool HostProva::tuttiRilasciati() const {
    return std::all_of(consegnati.begin(), consegnati.end(),
                       [](const std::weak_ptr<KaloRefill::Recordset>& rs) { return rs.expired(); });
}
