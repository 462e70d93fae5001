#!/usr/bin/python3
"""One self-contained HTML page from a guide in Markdown: converted by Python-Markdown (Debian's
python3-markdown), each picture put into the page as a data: address, so that the page opens from
anywhere, without network, in any browser.
Usage: guide-html.py GUIDE.md OUT.html"""
import base64
import html
import re
import sys
from pathlib import Path

import markdown

STYLE = """body{font-family:"Yu Gothic UI","Meiryo","Segoe UI",sans-serif;max-width:52em;margin:2em auto;
padding:0 1em;line-height:1.6;color:#1b1b1b}img{max-width:100%;border:1px solid #ccc}
table{border-collapse:collapse}th,td{border:1px solid #bbb;padding:.3em .6em;vertical-align:top}
code,kbd{background:#f2f2f2;padding:0 .2em}h1,h2,h3{line-height:1.3}"""


def embed_pictures(page: str, folder: Path) -> str:
    def data_address(match: re.Match) -> str:
        source = html.unescape(match.group(2))
        if re.match(r"^[a-z]+:", source):
            sys.exit(f"guide-html: {source}: only pictures beside the guide are embedded")
        picture = (folder / source).read_bytes()
        kind = "png" if source.lower().endswith(".png") else "jpeg"
        return f'{match.group(1)}"data:image/{kind};base64,{base64.b64encode(picture).decode()}"'

    return re.sub(r'(<img[^>]*\ssrc=)"([^"]*)"', data_address, page)


def main() -> None:
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    source, target = Path(sys.argv[1]), Path(sys.argv[2])
    text = source.read_text(encoding="utf-8")
    body = markdown.markdown(text, extensions=["tables", "toc", "attr_list"], output_format="html")
    title = next((line[2:].strip() for line in text.splitlines() if line.startswith("# ")), "Vantorel")
    language = "ja" if ".ja." in source.name else "en"
    page = (f'<!DOCTYPE html>\n<html lang="{language}">\n<head>\n<meta charset="utf-8">\n'
            f"<title>{html.escape(title)}</title>\n<style>{STYLE}</style>\n</head>\n<body>\n"
            f"{embed_pictures(body, source.parent)}\n</body>\n</html>\n")
    target.write_text(page, encoding="utf-8")


if __name__ == "__main__":
    main()
