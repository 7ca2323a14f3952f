#pragma once

#include "DatabaseHost.h"
#include "host/Errore.h"
#include "host/SqlTesti.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace KaloRefill::Prova {

inline const QDate giornoDiProva(2026, 12, 4);

// A new KaloRefill database in a temporary folder, gone with the object.
class DatabaseDiProva {
    // Declared first: the folder outlives the host that has the file open.
    QTemporaryDir m_cartella;

public:
    DatabaseDiProva() {
        host = DatabaseHost::crea(file(), OpzioniHost{giornoDiProva, QStringLiteral("mario"), {}});
    }

    QString file() const { return m_cartella.filePath(QStringLiteral("prova.kdb")); }
    QString cartella() const { return m_cartella.path(); }

    // Four machines: two listed by the form (A2 before A1), one out of service, one of
    // another kind of takings.
    void apparecchi() {
        host->Execute(QStringLiteral(
            "insert into apparecchi (idscheda, Idapparecchio, codiceinterno, Nomescheda, "
            "nomemobile, "
            "codiceaams, tipologiaincasso, categoria, attiva, ordineincasso, Codlocale) values "
            "(11, 'AP11', 'A1', 'Slot 7', 'M2', 'X99', 6, 'AWP', -1, 2, 'L01')"));
        host->Execute(QStringLiteral(
            "insert into apparecchi (idscheda, Idapparecchio, codiceinterno, Nomescheda, "
            "tipologiaincasso, attiva, ordineincasso) values (12, 'AP12', 'A2', 'Poker', 6, -1, "
            "1)"));
        host->Execute(QStringLiteral(
            "insert into apparecchi (idscheda, codiceinterno, tipologiaincasso, attiva, "
            "ordineincasso) values (13, 'A3', 6, 0, 3)"));
        host->Execute(QStringLiteral(
            "insert into apparecchi (idscheda, codiceinterno, tipologiaincasso, attiva, "
            "ordineincasso) values (14, 'A4', 5, -1, 4)"));
    }

    // A refill header stored as the save stores it, through the header set; gives its id.
    qint64 testata(const QDate& data = giornoDiProva,
                   const QString& locale = QStringLiteral("L01")) {
        const RecordsetPtr rs = host->openrecordset(SqlTesti::testataRefill(data));
        if (rs->RecordCount() == 0)
            rs->AddNew();
        rs->SetField(QStringLiteral("dataregistrazione"), data);
        rs->SetField(QStringLiteral("Codlocale"), locale);
        rs->SetField(QStringLiteral("codcausale"), QStringLiteral("REF"));
        rs->SetField(QStringLiteral("chiuso"), qint16(0));
        rs->Update();
        return rs->Field(QStringLiteral("id")).toLongLong();
    }

    // A machine row of a header with its amount text, as the save writes it.
    void rigaRefill(qint64 idTesta, int idScheda, const QString& importo,
                    const QDate& data = giornoDiProva) {
        const RecordsetPtr rs = host->openrecordset(
            SqlTesti::rigaApparecchio(QString::number(idTesta), QString::number(idScheda)));
        if (rs->RecordCount() == 0)
            rs->AddNew();
        rs->SetField(QStringLiteral("idtesta"), idTesta);
        rs->SetField(QStringLiteral("linkscheda"), QString::number(idScheda));
        rs->SetField(QStringLiteral("dataincasso"), data);
        rs->SetField(QStringLiteral("Descrizione"), QStringLiteral("A%1").arg(idScheda));
        rs->SetField(QStringLiteral("refillgestore"), importo);
        rs->SetField(QStringLiteral("idoperatore"), host->User());
        rs->Update();
    }

    std::shared_ptr<DatabaseHost> host;
};

// The number of the error a call raises; 0 when it raises none.
template <typename Chiamata> int numeroErrore(Chiamata&& chiamata) {
    try {
        chiamata();
    } catch (const Errore& e) {
        return e.numero();
    }
    return 0;
}

} // namespace KaloRefill::Prova
