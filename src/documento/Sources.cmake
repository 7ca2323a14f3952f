# SPDX-FileCopyrightText: 2026 KaloRefill developers
# SPDX-License-Identifier: LGPL-3.0-or-later
target_sources(kalorefill PRIVATE
    documento/DocumentoRefill.cpp documento/DocumentoRefill.h
    documento/RigaRegistro.cpp documento/RigaRegistro.h
    documento/RegistroRefill.cpp documento/RegistroRefill.h
    documento/VerificaRegistro.cpp documento/VerificaRegistro.h
    documento/ImpostazioniControlli.cpp documento/ImpostazioniControlli.h)
target_sources(kalorefill PRIVATE
    documento/ImportoInLettere.cpp documento/ImportoInLettere.h
    documento/CodiceQr.cpp documento/CodiceQr.h
    documento/BuonoRefill.cpp documento/BuonoRefill.h)
