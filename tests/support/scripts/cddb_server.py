#!/usr/bin/python3
"""A CDDB-protocol (CDDBP) server for one test: listens on 127.0.0.1, prints its port, answers
every query with the one entry given, and logs the query lines it receives."""
import socket
import sys

entry_file, log_file = sys.argv[1], sys.argv[2]
entry = open(entry_file, encoding="utf-8").read().strip("\n").split("\n")
title = next(line.split("=", 1)[1] for line in entry if line.startswith("DTITLE="))

server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
server.bind(("127.0.0.1", 0))
server.listen(4)
print(server.getsockname()[1], flush=True)
server.settimeout(60)


def reply(conn, lines):
    conn.sendall(("\r\n".join(lines) + "\r\n").encode("utf-8"))


while True:
    try:
        conn, _ = server.accept()
    except socket.timeout:
        break
    with conn, conn.makefile("r", encoding="utf-8", newline="\n") as reader:
        reply(conn, ["201 localhost CDDBP server v1.5 ready"])
        for line in reader:
            words = line.strip().split()
            if not words:
                continue
            with open(log_file, "a", encoding="utf-8") as log:
                log.write(line.strip() + "\n")
            command = " ".join(words[:2]).lower()
            if command == "cddb hello":
                reply(conn, ["200 hello and welcome"])
            elif words[0].lower() == "proto":
                reply(conn, ["201 OK, CDDB protocol level now: 6"])
            elif command == "cddb query":
                reply(conn, ["200 rock %s %s" % (words[2], title)])
            elif command == "cddb read":
                reply(conn, ["210 %s %s CD database entry follows" % (words[2], words[3])] + entry + ["."])
            elif words[0].lower() == "quit":
                reply(conn, ["230 bye"])
                break
            else:
                reply(conn, ["500 unknown command"])
