#!/usr/bin/python3
# The peer of bench_periodo: the "Todos os Recibos" listing drawn with
# reportlab's canvas, the same fonts embedded, from the same rows.
#   periodo_reportlab.py ROWS.tsv OUT.pdf
# ROWS.tsv: TIPO, ID_RECIBO, DATA (AAAA-MM-DD), EMITENTE, VALOR in cents, a row per line.
# Prints "seconds processor_seconds peak_mb", from opening the rows to the closed PDF.
import sys
import time

from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.pdfgen import canvas

UNIT = 72.0 / 96.0  # a layout unit (1/96 inch) in points
MM = 72.0 / 25.4
PAGE_W, PAGE_H = 210 * MM, 297 * MM
LEFT, TOP, BOTTOM = 5 * MM, 10 * MM, 297 * MM - 15 * MM
GREY = (0x80 / 255.0,) * 3

pdfmetrics.registerFont(TTFont("Arial", "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"))
pdfmetrics.registerFont(TTFont("Arial-Bold", "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf"))
pdfmetrics.registerFont(TTFont("Tahoma", "/usr/share/wine/fonts/tahoma.ttf"))

# (left, width, align) of TIPO, ID_RECIBO, DATA, EMITENTE, VALOR, in units
CELLS = [(3.77, 94.48, "c"), (102.04, 68.03, "c"), (173.85, 71.81, "c"), (249.44, 381.73, "l"), (638.74, 102.04, "r")]
HEADINGS = [(3.77, 98.26, "Classificação"), (102.04, 71.81, "Nº Recibo"), (173.85, 75.59, "Emissão"),
            (249.44, 389.29, "Nome ou Razão Social"), (638.74, 102.04, "Valor R$")]


def money(cents):
    units, rest = divmod(abs(cents), 100)
    return ("-" if cents < 0 else "") + "{:,}".format(units).replace(",", ".") + ",%02d" % rest


class Page:
    """The texts of a page go into one text object, drawn over the page's fills when it ends:
    the quickest way through reportlab's canvas."""

    def __init__(self, c):
        self.c = c
        self.metrics = {}
        self.begin()

    def begin(self):
        self.t = self.c.beginText()
        self.font = None

    def end(self):
        self.c.drawText(self.t)
        self.c.showPage()
        self.begin()

    def text(self, font, px, left, top, width, height, value, align, valign_middle=False):
        """A text box at units from the page's top-left corner, with the engine's inner gaps."""
        size = px * UNIT
        if (font, px) not in self.metrics:
            face = pdfmetrics.getFont(font).face
            self.metrics[(font, px)] = (face.ascent / 1000.0 * size, -face.descent / 1000.0 * size)
        ascent, descent = self.metrics[(font, px)]
        inner_left, inner_width = (left + 2) * UNIT, (width - 4) * UNIT
        inner_top = (top + 1) * UNIT
        if valign_middle:
            inner_top += ((height - 2) * UNIT - (ascent + descent)) / 2
        if self.font != (font, size):
            self.t.setFont(font, size)
            self.font = (font, size)
        x = inner_left
        if align != "l":
            free = inner_width - pdfmetrics.stringWidth(value, font, size)
            x += free / 2 if align == "c" else free
        self.t.setTextOrigin(x, PAGE_H - inner_top - ascent)
        self.t.textOut(value)

    def heading(self, left, top, width, height, value):
        self.c.setFillColorRGB(*GREY)
        self.c.rect(left * UNIT, PAGE_H - (top + height) * UNIT, width * UNIT, height * UNIT, stroke=0, fill=1)
        self.c.setFillColorRGB(0, 0, 0)
        self.t.setFillColorRGB(1, 1, 1)
        self.text("Arial-Bold", 13, left, top, width, height, value, "l")
        self.t.setFillColorRGB(0, 0, 0)


def main(rows_path, pdf_path):
    start, start_cpu = time.perf_counter(), time.process_time()
    c = canvas.Canvas(pdf_path, pagesize=(PAGE_W, PAGE_H))
    c.setTitle("Todos os Recibos")
    page = Page(c)
    left = LEFT / UNIT
    y = 0.0

    def start_page(first):
        nonlocal y
        y = TOP / UNIT
        if first:
            page.text("Arial-Bold", 21, left, y, 752.12, 30.23, "Todos os Recibos", "c", True)
            c.setLineWidth(UNIT)
            c.line(LEFT, PAGE_H - (y + 34.01) * UNIT, LEFT + 755.9 * UNIT, PAGE_H - (y + 34.01) * UNIT)
            y += 41.57
        for h_left, h_width, h_text in HEADINGS:
            page.heading(left + h_left, y + 3.77, h_width, 18.89, h_text)
        y += 22.67

    total = 0
    start_page(True)
    body_top = y
    with open(rows_path, encoding="utf-8") as rows:
        for line in rows:
            tipo, number, day, name, cents = line.rstrip("\n").split("\t")
            if y + 15.11 > BOTTOM / UNIT and y > body_top:
                page.end()
                start_page(False)
            cents = int(cents)
            total += cents
            values = (tipo, number, "%s/%s/%s" % (day[8:10], day[5:7], day[0:4]), name, money(cents))
            for (cell_left, cell_width, align), value in zip(CELLS, values):
                page.text("Tahoma", 11, left + cell_left, y, cell_width, 15.11, value, align)
            y += 15.11
    if y + 22.67 > BOTTOM / UNIT and y > body_top:
        page.end()
        start_page(False)
    page.text("Arial", 11, left, y + 6.44, 170.07, 15.11, "Quindelo - Sistema de Recibos", "l", True)
    page.heading(left + 510.23, y + 3.77, 120.94, 18.89, "Valor Total R$")
    page.text("Arial", 11, left + 641.74, y + 4.55, 98.26, 18.89, money(total), "r")
    c.setLineWidth(2 * UNIT)
    c.setDash(2 * UNIT, 2 * UNIT)
    c.line((left + 641.74) * UNIT, PAGE_H - (y + 4.55) * UNIT, (left + 740) * UNIT, PAGE_H - (y + 4.55) * UNIT)
    page.end()
    c.save()
    peak_mb = own_peak_mb()
    print("%.3f %.3f %.1f" % (time.perf_counter() - start, time.process_time() - start_cpu, peak_mb))


def own_peak_mb():
    """This process's high-water mark; ru_maxrss would start from the parent's."""
    with open("/proc/self/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
