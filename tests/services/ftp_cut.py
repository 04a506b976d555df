#!/usr/bin/env python3
"""Serves like "python3 -m pyftpdlib" (same options, same start line) but
breaks every download halfway: half the file, then the data connection is
dropped and the transfer reported as aborted."""
from pyftpdlib import handlers
from pyftpdlib.__main__ import main


class HalfProducer(handlers.FileProducer):
    def more(self):
        if getattr(self, "cut", False):
            raise handlers._FileReadWriteError(OSError(5, "cut halfway"))
        self.cut = True
        data = self.file.read()
        return data[:len(data) // 2]


handlers.FileProducer = HalfProducer
handlers.FTPHandler.use_sendfile = False
main()
