#pragma once

#include "RecordsetMemoria.h"
#include "host/HostApplication.h"

#include <QString>

#include <memory>
#include <vector>

// A host that answers from memory and writes every call into RegistroProva's log
// ("host.openrecordset(<sql>)", "host.User", ...), so the log shows host calls and the
// component's members in one sequence. The recordsets it hands out are named in the
// log ("viste", "operatori", "elenco") and watched, so a test can tell they were let go.
// A call whose log entry contains guasto fails as a database error.
class HostProva final : public KaloRefill::HostApplication {
public:
    HostProva();

    KaloRefill::RecordsetPtr openrecordset(const QString& sql) override;
    KaloRefill::RecordsetPtr OpenRecordSetPreferenze(const QString& sql) override;
    void Execute(const QString& sql) override;
    qint16 leggisettaggio(const QString& sezione, const QString& chiave,
                          qint16 predefinito) override;
    void salvasettaggio(const QString& sezione, const QString& chiave, qint16 valore) override;
    QDate Data() override;
    QVariant User() override;
    QString Percorso() override;

    // The rows handed out for the list (any statement other than viste and operatori).
    QStringList campiElenco{QStringLiteral("id"), QStringLiteral("dataregistrazione")};
    QList<QVariantList> righeElenco;

    QVariant user = QStringLiteral("mario");
    QString percorso = QStringLiteral("C:\\Kalovia\\");
    QString guasto;

    // Every recordset handed out, weakly: expired once everyone let it go.
    std::vector<std::weak_ptr<KaloRefill::Recordset>> consegnati;
    bool tuttiRilasciati() const;

private:
    void chiamata(const QString& voce) const;
    KaloRefill::RecordsetPtr consegna(std::shared_ptr<RecordsetMemoria> rs, const QString& nome);
};
