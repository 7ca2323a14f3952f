target_sources(kalorefill PRIVATE
    search/ComponenteRicerca.h)
