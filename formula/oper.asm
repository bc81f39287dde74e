; placeholder until the templates are written
        times 10 db 0
