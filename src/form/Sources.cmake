# SPDX-FileCopyrightText: 2026 KaloRefill developers
# SPDX-License-Identifier: LGPL-3.0-or-later
target_sources(kalorefill PRIVATE
    form/FrmRefill.cpp form/FrmRefill.h
    form/FrmRefillControlli.cpp form/FrmRefillLayout.cpp
    form/LayoutRefill.cpp form/LayoutRefill.h
    form/Twips.cpp form/Twips.h
    form/FrmRefillPagine.cpp
    form/FrmRefillTastiera.cpp
    form/FrmRefillSelezione.cpp
    form/FrmRefillSalvataggio.cpp
    form/FrmRefillChiusura.cpp
    form/FrmRefillRegistro.cpp
    form/FrmRefillDanno.cpp
    form/Calcolatrice.cpp form/Calcolatrice.h
    form/Letture.cpp form/Letture.h
    form/TastiLettura.cpp form/TastiLettura.h
    form/Colori.h
    form/Messaggio.cpp form/Messaggio.h
    form/Politica.cpp form/Politica.h
    form/PulsanteGrafico.cpp form/PulsanteGrafico.h
    form/Didascalia.cpp form/Didascalia.h
    form/Etichetta.cpp form/Etichetta.h
    form/CampoData.cpp form/CampoData.h
    form/IconaSvg.cpp form/IconaSvg.h
    form/StileTocco.cpp form/StileTocco.h
    form/TraduzioniQt.cpp form/TraduzioniQt.h
    form/DimensioneFinestra.cpp form/DimensioneFinestra.h)
