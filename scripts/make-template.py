#!/usr/bin/env python3
"""Writes the empty data file template: an unencrypted SQLite file with the account table.

The program keys and encrypts a copy of it the first time it compacts a new data file.
Usage: scripts/make-template.py [output path]
"""
import os
import sqlite3
import sys

FIELDS = ["Account", "URL", "IDtext", "Password", "Hint", "Info",
          "Key1", "Key2", "Key3", "Key4",
          "Key1_Name", "Key2_Name", "Key3_Name", "Key4_Name"]

def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        here, "..", "src", "resources", "template", "DATABASE.pnv")
    if os.path.exists(out):
        os.remove(out)
    db = sqlite3.connect(out)
    # TEXT has no length limit, so every box's maximum length fits.
    db.execute("CREATE TABLE tblAccount (%s)" % ", ".join('"%s" TEXT' % f for f in FIELDS))
    db.commit()
    db.execute("VACUUM")
    db.close()

if __name__ == "__main__":
    main()
