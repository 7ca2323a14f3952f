// SPDX-FileCopyrightText: 2026 KaloRefill developers
// SPDX-License-Identifier: LGPL-3.0-or-later
#include "ModelloRighe.h"

#include "FormatoItaliano.h"

#include <exception>
#include <limits>
#include <utility>

namespace KaloRefill {

namespace {

QString nomeSemplice(const QString& campo) {
    return campo.section(QLatin1Char('.'), -1).toLower();
}

bool inElenco(const QString& campo, std::initializer_list<QLatin1StringView> nomi) {
    const QString nome = nomeSemplice(campo);
    for (const QLatin1StringView n : nomi)
        if (nome == n)
            return true;
    return false;
}

// Amount columns whatever their first values look like.
bool importoPerNome(const QString& campo) {
    return inElenco(campo,
                    {QLatin1StringView("refillgestore"), QLatin1StringView("refillnoleggiatore"),
                     QLatin1StringView("refilllocale")});
}

// Yes/no flags kept as 0 and -1.
bool flagPerNome(const QString& campo) {
    return inElenco(campo, {QLatin1StringView("chiuso"), QLatin1StringView("import")});
}

bool nascostaPerNome(const QString& campo) {
    return inElenco(campo, {QLatin1StringView("id"), QLatin1StringView("import"),
                            QLatin1StringView("codiceazienda")});
}

QString testoFlag(const QVariant& valore) {
    if (!valore.isValid() || valore.isNull())
        return {};
    return valore.toDouble() != 0 ? QStringLiteral("Sì") : QStringLiteral("No");
}

} // namespace

ModelloRighe::ModelloRighe(SorgenteRighe sorgente, const NomiOperatori& operatori, QObject* parent)
    : QAbstractTableModel(parent), m_sorgente(std::move(sorgente)), m_operatori(operatori) {
    const QStringList& campi = m_sorgente.campi();
    if (!m_operatori.vuoto())
        m_colonnaOperatore = m_sorgente.colonna(QStringLiteral("idoperatore"));
    QList<QVariantList> prime = m_sorgente.prossime(righePerPagina);

    // What a column holds is told by its name or, failing that, by the first page.
    for (qsizetype c = 0; c < campi.size(); ++c) {
        bool importo = importoPerNome(campi.at(c));
        bool flag = flagPerNome(campi.at(c));
        bool almenoUno = false;
        bool tuttiImporti = true;
        bool tuttiBooleani = true;
        for (const QVariantList& riga : std::as_const(prime)) {
            const QVariant& v = riga.at(c);
            if (v.isNull())
                continue;
            almenoUno = true;
            tuttiImporti = tuttiImporti && FormatoItaliano::comeImporto(v).has_value();
            tuttiBooleani = tuttiBooleani && v.metaType().id() == QMetaType::Bool;
        }
        importo = importo || (almenoUno && tuttiImporti);
        flag = !importo && (flag || (almenoUno && tuttiBooleani));
        m_importi.append(importo);
        m_flag.append(flag);
        m_nascoste.append(nascostaPerNome(campi.at(c)));
        m_totali.append(Valuta());
    }

    QStringList daSommare;
    for (qsizetype c = 0; c < campi.size(); ++c)
        if (m_importi.at(c))
            daSommare.append(campi.at(c));
    const bool tutteLette = m_sorgente.finita();
    std::optional<QVariantList> riepilogo;
    if (!tutteLette)
        riepilogo = m_sorgente.riepilogo(daSommare);
    if (riepilogo) {
        m_totaliDalRiepilogo = true;
        m_totaleRighe = riepilogo->value(0).toLongLong();
        qsizetype i = 1;
        for (qsizetype c = 0; c < campi.size(); ++c) {
            if (!m_importi.at(c))
                continue;
            m_totali[c] = FormatoItaliano::comeImporto(riepilogo->value(i++)).value_or(Valuta());
        }
    }
    aggiungi(std::move(prime));
    // Without a summary the count and the totals need every row.
    if (!m_totaliDalRiepilogo) {
        while (!m_sorgente.finita())
            aggiungi(m_sorgente.prossime(righePerPagina));
        sommaTutte();
    }
}

void ModelloRighe::aggiungi(QList<QVariantList> righe) {
    // Texts are made once: filtering goes over every one of them at each keystroke.
    QList<QStringList> testi;
    testi.reserve(righe.size());
    for (const QVariantList& riga : std::as_const(righe)) {
        QStringList celle;
        celle.reserve(riga.size());
        for (qsizetype c = 0; c < riga.size(); ++c) {
            QString testo;
            if (c == m_colonnaOperatore)
                testo = m_operatori.nome(riga.at(c));
            else if (m_flag.at(c))
                testo = testoFlag(riga.at(c));
            if (testo.isEmpty())
                testo = FormatoItaliano::testo(riga.at(c), m_importi.at(c));
            celle.append(testo);
        }
        testi.append(std::move(celle));
    }
    m_righe.append(std::move(righe));
    m_testi.append(std::move(testi));
}

void ModelloRighe::sommaTutte() {
    m_totaleRighe = m_righe.size();
    for (qsizetype c = 0; c < m_importi.size(); ++c) {
        if (!m_importi.at(c))
            continue;
        Valuta somma;
        for (const QVariantList& riga : std::as_const(m_righe))
            if (const std::optional<Valuta> v = FormatoItaliano::comeImporto(riga.at(c)))
                somma = somma + *v;
        m_totali[c] = somma;
    }
}

bool ModelloRighe::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !m_interrotta && !m_sorgente.finita();
}

void ModelloRighe::fetchMore(const QModelIndex& parent) {
    if (canFetchMore(parent))
        leggi(righePerPagina);
}

void ModelloRighe::caricaTutto() {
    // In one read and one insertion: page after page would make the view and the
    // filter take in each page, and the database skip again every row before it.
    if (canFetchMore({}))
        leggi(std::numeric_limits<int>::max());
}

void ModelloRighe::leggi(int quante) {
    QList<QVariantList> righe;
    try {
        righe = m_sorgente.prossime(quante);
    } catch (const std::exception& e) {
        // Thrown inside the view's event handling it would end the program.
        m_interrotta = true;
        emit letturaFallita(QString::fromLocal8Bit(e.what()));
        return;
    }
    if (righe.isEmpty())
        return;
    const int primo = static_cast<int>(m_righe.size());
    beginInsertRows({}, primo, primo + static_cast<int>(righe.size()) - 1);
    aggiungi(std::move(righe));
    endInsertRows();
}

const QVariant& ModelloRighe::valore(int riga, int colonna) const {
    return m_righe.at(riga).at(colonna);
}

int ModelloRighe::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_righe.size());
}

int ModelloRighe::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_sorgente.campi().size());
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
        return valore(riga, colonna);
    case RuoloOrdinamento:
        if (colonna == m_colonnaOperatore)
            return m_testi.at(riga).at(colonna);
        return valore(riga, colonna);
    case Qt::TextAlignmentRole: {
        if (m_flag.at(colonna))
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        // Whole numbers line up on the right, like amounts.
        const bool numero =
            m_importi.at(colonna) ||
            (colonna != m_colonnaOperatore && FormatoItaliano::eIntero(valore(riga, colonna)));
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
    const QString& campo = m_sorgente.campi().at(sezione);
    switch (ruolo) {
    case Qt::DisplayRole:
        return m_importi.at(sezione) ? FormatoItaliano::intestazione(campo) + QStringLiteral(" (€)")
                                     : FormatoItaliano::intestazione(campo);
    case RuoloNome:
        return FormatoItaliano::intestazione(campo);
    case Qt::ToolTipRole:
    case RuoloCampo:
        return campo;
    case RuoloImporto:
        return m_importi.at(sezione);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignVCenter) |
                                   (m_importi.at(sezione) ? Qt::AlignRight : Qt::AlignLeft));
    default:
        return {};
    }
}

} // namespace KaloRefill
