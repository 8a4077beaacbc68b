"""Reads a stored message the way a mail reader would and prints what the
tests check as JSON; attachments are written into the given folder."""
import email
import email.policy
import json
import os
import sys

path, out_dir = sys.argv[1], sys.argv[2]
with open(path, "rb") as f:
    msg = email.message_from_binary_file(f, policy=email.policy.default)
result = {
    "subject": str(msg["Subject"]),
    "from": str(msg["From"]),
    "to": str(msg["To"] or ""),
    "cc": str(msg["Cc"] or ""),
    "bcc_header": msg["Bcc"] is not None,
    "content_type": msg.get_content_type(),
    "raw_subject": msg.get("Subject").__class__.__name__,
    "text": "",
    "attachments": [],
}
with open(path, "rb") as f:
    raw = f.read().decode("ascii", "replace")
result["raw_subject_line"] = [l for l in raw.split("\r\n") if l.startswith("Subject:")][0]
for part in msg.walk():
    if part.is_multipart():
        continue
    name = part.get_filename()
    if name:
        target = os.path.join(out_dir, name)
        with open(target, "wb") as f:
            f.write(part.get_payload(decode=True))
        result["attachments"].append(name)
    elif part.get_content_type() == "text/plain":
        result["text"] = part.get_content()
print(json.dumps(result, ensure_ascii=False))
