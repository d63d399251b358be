#!/usr/bin/env python3
"""Runs a command on a terminal of its own and answers sudo's password prompts, as a person
would type the password: answer-sudo.py <password> <command...>. Prints what the terminal
shows; fails unless the command succeeded after exactly one prompt."""
import os
import pty
import sys

password, command = sys.argv[1].encode(), sys.argv[2:]
pid, terminal = pty.fork()
if pid == 0:
    os.execvp(command[0], command)

prompts = 0
seen = b""
while True:
    try:
        chunk = os.read(terminal, 4096)
    except OSError:
        break
    if not chunk:
        break
    sys.stdout.buffer.write(chunk)
    sys.stdout.flush()
    seen += chunk
    if b"password for" in seen:
        prompts += 1
        seen = b""
        os.write(terminal, password + b"\n")
    seen = seen[-200:]
status = os.waitstatus_to_exitcode(os.waitpid(pid, 0)[1])
print(f"\nanswer-sudo: the command ended with {status} after {prompts} password prompt(s)")
sys.exit(0 if status == 0 and prompts == 1 else 1)
