#!/usr/bin/env python3
# -*- coding: utf-8 -*-
"""Check assets/texts/code-of-conduct.txt, the banner tooltip text.

The file is GBK, 822 bytes, without a line break at the end: 26 blanks and the
title, three CR LF, then articles (一) to (八), one line each, one empty line
between articles; article four goes on in a second line indented by six
blanks.  With --write the file is first written from the text below.
"""

import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
PATH = os.path.join(HERE, "code-of-conduct.txt")
SIZE = 822
NUMERALS = "一二三四五六七八"

TITLE = "劳动仲裁监察员准则"
ARTICLES = [
    "（一）忠于宪法和法律，坚持以事实为依据、以法律为准绳，严格依照法定权限和程序履行职责。",
    "（二）秉公执法，不徇私情，平等对待劳动者和用人单位，不偏袒任何一方当事人，维护当事人的合法权益。",
    "（三）廉洁自律，不接受当事人及其代理人的宴请、礼品和财物，不利用职务之便谋取私利。",
    ("（四）依法调查取证，全面、客观、公正地收集证据，如实制作询问笔录，不得诱供、逼供，",
     "不得伪造、隐匿或者毁灭证据。"),
    "（五）保守国家秘密、商业秘密和个人隐私，不泄露案件调查、审理和认定中的有关情况，不擅自对外发布案件信息。",
    "（六）文明执法，举止端庄，着装整洁，主动出示执法证件，耐心听取当事人的陈述和申辩。",
    "（七）钻研业务，熟悉劳动保障法律法规和政策，不断提高调查取证、文书制作和依法办案的能力。",
    "（八）严守工作纪律，服从领导，团结协作，自觉接受社会和群众监督，认真负责，按时办结案件。",
]


def render():
    parts = []
    for i, article in enumerate(ARTICLES):
        if isinstance(article, tuple):
            parts.append(article[0] + "\r\n" + " " * 6 + article[1])
        else:
            parts.append(article)
    return " " * 26 + TITLE + "\r\n" * 3 + "\r\n\r\n".join(parts)


def check(data):
    errors = []
    if len(data) != SIZE:
        errors.append("size is %d bytes, not %d" % (len(data), SIZE))
    try:
        text = data.decode("gbk", errors="strict")
    except UnicodeDecodeError as e:
        return errors + ["not GBK: %s" % e]
    if data.endswith(b"\r\n") or data.endswith(b"\n"):
        errors.append("line break at the end")
    if data.replace(b"\r\n", b"").count(b"\n") or data.replace(b"\r\n", b"").count(b"\r"):
        errors.append("stray CR or LF")
    head = " " * 26 + TITLE + "\r\n" * 3
    if not text.startswith(head) or text[len(head)] == "\r":
        errors.append("title line or the three CR LF after it")
    body = text[len(head):]
    articles = body.split("\r\n\r\n")
    if len(articles) != 8:
        errors.append("%d articles, not 8" % len(articles))
    for i, article in enumerate(articles):
        lines = article.split("\r\n")
        if not lines[0].startswith("（%s）" % NUMERALS[i]):
            errors.append("article %d does not start with its number" % (i + 1))
        if any(not line.strip() for line in lines):
            errors.append("empty line inside article %d" % (i + 1))
        if i == 3:
            if len(lines) != 2 or not re.fullmatch(r" {6}\S.*", lines[1]):
                errors.append("article four needs a second line indented by six blanks")
        elif len(lines) != 1:
            errors.append("article %d has %d lines" % (i + 1, len(lines)))
    return errors


def main():
    if "--write" in sys.argv[1:]:
        with open(PATH, "wb") as f:
            f.write(render().encode("gbk", errors="strict"))
    with open(PATH, "rb") as f:
        data = f.read()
    errors = check(data)
    for e in errors:
        print("code-of-conduct.txt: " + e, file=sys.stderr)
    if errors:
        sys.exit(1)
    print("code-of-conduct.txt: %d bytes, checks passed" % len(data))


if __name__ == "__main__":
    main()
