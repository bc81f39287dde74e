; placeholder until the vocabulary is written
        times 10 db 0
