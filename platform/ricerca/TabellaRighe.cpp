#include "TabellaRighe.h"

#include "FormatoItaliano.h"

#include <utility>

namespace KaloRefill {

namespace {

QString senzaTabella(const QString& campo) {
    return campo.section(QLatin1Char('.'), -1);
}

} // namespace

TabellaRighe::TabellaRighe(QStringList campi, QList<QVariantList> righe)
    : m_campi(std::move(campi)), m_righe(std::move(righe)) {
    for (QVariantList& riga : m_righe)
        riga.resize(m_campi.size());
    for (qsizetype c = 0; c < m_campi.size(); ++c) {
        bool importo = senzaTabella(m_campi.at(c))
                           .compare(QLatin1String("refillgestore"), Qt::CaseInsensitive) == 0;
        if (!importo) {
            bool almenoUno = false;
            bool tutti = true;
            for (const QVariantList& riga : std::as_const(m_righe)) {
                const QVariant& v = riga.at(c);
                if (v.isNull())
                    continue;
                almenoUno = true;
                if (!FormatoItaliano::comeImporto(v)) {
                    tutti = false;
                    break;
                }
            }
            importo = almenoUno && tutti;
        }
        m_importi.append(importo);
    }
}

TabellaRighe TabellaRighe::leggi(Recordset& righe) {
    const QStringList campi = righe.FieldNames();
    QList<QVariantList> lette;
    // MoveFirst on a set without rows is an error: ask first.
    if (righe.RecordCount() > 0 && !(righe.Bof() && righe.Eof())) {
        righe.MoveFirst();
        while (!righe.Eof()) {
            QVariantList riga;
            riga.reserve(campi.size());
            for (const QString& campo : campi)
                riga.append(righe.Field(campo));
            lette.append(std::move(riga));
            righe.MoveNext();
        }
    }
    return TabellaRighe(campi, std::move(lette));
}

const QVariant& TabellaRighe::valore(qsizetype riga, qsizetype colonna) const {
    return m_righe.at(riga).at(colonna);
}

int TabellaRighe::colonna(const QString& campo) const {
    for (qsizetype c = 0; c < m_campi.size(); ++c) {
        if (m_campi.at(c).compare(campo, Qt::CaseInsensitive) == 0)
            return static_cast<int>(c);
    }
    const QString cercato = senzaTabella(campo);
    for (qsizetype c = 0; c < m_campi.size(); ++c) {
        if (senzaTabella(m_campi.at(c)).compare(cercato, Qt::CaseInsensitive) == 0)
            return static_cast<int>(c);
    }
    return -1;
}

bool TabellaRighe::eImporto(int colonna) const {
    return colonna >= 0 && colonna < m_importi.size() && m_importi.at(colonna);
}

} // namespace KaloRefill
