#include "ModelloRighe.h"

#include "FormatoItaliano.h"

#include <utility>

namespace KaloRefill {


ModelloRighe::ModelloRighe(TabellaRighe tabella, const NomiOperatori& operatori, QObject* parent)
    : QAbstractTableModel(parent), m_tabella(std::move(tabella)) {
    const int colonnaOperatore = m_tabella.colonna(QStringLiteral("idoperatore"));
    if (!operatori.vuoto())
        m_colonnaOperatore = colonnaOperatore;
    // Texts are made once: filtering goes over every one of them at each keystroke.
    m_testi.reserve(m_tabella.numeroRighe());
    for (const QVariantList& riga : m_tabella.righe()) {
        QStringList testi;
        testi.reserve(riga.size());
        for (qsizetype c = 0; c < riga.size(); ++c) {
            QString testo;
            if (c == m_colonnaOperatore)
                testo = operatori.nome(riga.at(c));
            if (testo.isEmpty())
                testo = FormatoItaliano::testo(riga.at(c), m_tabella.eImporto(static_cast<int>(c)));
            testi.append(testo);
        }
        m_testi.append(std::move(testi));
    }
}

int ModelloRighe::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_tabella.numeroRighe());
}

int ModelloRighe::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_tabella.campi().size());
}

QVariant ModelloRighe::data(const QModelIndex& indice, int ruolo) const {
    if (!checkIndex(indice, CheckIndexOption::IndexIsValid))
        return {};
    const int riga = indice.row();
    const int colonna = indice.column();
    switch (ruolo) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return m_testi.at(riga).at(colonna);
    case RuoloValore:
        return m_tabella.valore(riga, colonna);
    case RuoloOrdinamento:
        if (colonna == m_colonnaOperatore)
            return m_testi.at(riga).at(colonna);
        return m_tabella.valore(riga, colonna);
    case Qt::TextAlignmentRole: {
        // Whole numbers line up on the right, like amounts.
        const bool numero =
            m_tabella.eImporto(colonna) ||
            (colonna != m_colonnaOperatore && FormatoItaliano::eIntero(m_tabella.valore(riga, colonna)));
        return QVariant::fromValue(Qt::Alignment(Qt::AlignVCenter) |
                                   (numero ? Qt::AlignRight : Qt::AlignLeft));
    }
    default:
        return {};
    }
}

QVariant ModelloRighe::headerData(int sezione, Qt::Orientation orientamento, int ruolo) const {
    if (orientamento != Qt::Horizontal)
        return QAbstractTableModel::headerData(sezione, orientamento, ruolo);
    if (sezione < 0 || sezione >= columnCount())
        return {};
    const QString& campo = m_tabella.campi().at(sezione);
    switch (ruolo) {
    case Qt::DisplayRole:
        return FormatoItaliano::intestazione(campo);
    case Qt::ToolTipRole:
    case RuoloCampo:
        return campo;
    case RuoloImporto:
        return m_tabella.eImporto(sezione);
    default:
        return {};
    }
}

} // namespace KaloRefill
