#!/usr/bin/env python3
"""Fails when the English translation lags behind the sources.

usage: check_translations.py LUPDATE TS_FILE SOURCE_DIR...

- lupdate, run over the sources into a copy of TS_FILE, finds no text that is new, gone or unfinished;
- every Chinese string literal in the sources is a translated source text, so a user-visible text
  that skips tr() is caught too;
- each translation keeps the placeholders of its source and the words the log viewer files lines
  by (a line with 错误 is an error line in Chinese, so its English must say "error");
- one Chinese text has one English, wherever it is used (a disambiguation comment makes another text).
"""
import pathlib, re, shutil, subprocess, sys, tempfile
import xml.etree.ElementTree as ET

CJK = re.compile(r'[\u3400-\u9fff\uff00-\uffef]')
STRING = r'"((?:\\.|[^\\"\n])*)"'
# Adjacent literals are one text to the compiler and to lupdate.
TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|\'(?:\\.|[^\\\'])*\'|(' + STRING + r'(?:\s*' + STRING + r')*)', re.S)
ESCAPES = {'n': '\n', 't': '\t'}
MARKERS = [('错误', 'error'), ('失败', 'fail'), ('命令', 'command'), ('执行命令', 'running command')]


def english(translation):
    # A plural text has one English a form ("%n line", "%n lines").
    forms = tuple(form.text or '' for form in translation.iter('numerusform'))
    return None if translation.get('type') or not all(forms) else forms or translation.text


def messages(ts):
    return {(context.findtext('name'), message.findtext('source'), message.findtext('comment')):
            english(translation)
            for context in ET.parse(ts).getroot().iter('context')
            for message in context.iter('message') for translation in message.iter('translation')}


def literals(directories):
    for path in sorted(p for d in directories for p in pathlib.Path(d).rglob('*') if p.suffix in ('.cpp', '.h')):
        for token in TOKEN.finditer(path.read_text(encoding='utf-8')):
            text = ''.join(re.findall(STRING, token.group(1) or ''))
            if CJK.search(text):
                yield path, re.sub(r'\\(.)', lambda m: ESCAPES.get(m.group(1), m.group(1)), text)


def main(lupdate, ts_file, *directories):
    committed = messages(ts_file)
    with tempfile.TemporaryDirectory() as work:
        fresh = shutil.copy(ts_file, pathlib.Path(work) / 'fresh.ts')
        subprocess.run([lupdate, '-silent', '-locations', 'none', '-no-obsolete', *directories,
                        '-ts', fresh], check=True)
        updated = messages(fresh)
    problems = [f'not in {ts_file} (run the update_translations target): {key}'
                for key in updated.keys() - committed.keys()]
    problems += [f'no longer in the sources: {key}' for key in committed.keys() - updated.keys()]
    problems += [f'untranslated: {key}' for key, text in updated.items() if not text]
    translated = {source for (_, source, _), text in committed.items() if text}
    problems += [f'{path}: not translated, or not through tr(): "{text}"'
                 for path, text in literals(directories) if text not in translated]
    englishes = {}
    for (_, source, comment), text in committed.items():
        englishes.setdefault((source, comment), set()).add(text)
    problems += [f'translated in {len(texts)} ways: "{source}" -> {sorted(texts)}'
                 for (source, _), texts in englishes.items() if len(texts) > 1]
    for (context, source, _), forms in committed.items():
        for text in forms if isinstance(forms, tuple) else [forms]:
            if text and sorted(re.findall(r'%\d', source)) != sorted(re.findall(r'%\d', text)):
                problems.append(f'{context}: placeholders differ: "{source}" -> "{text}"')
            problems += [f'{context}: "{chinese}" and "{english}" disagree: "{source}" -> "{text}"'
                         for chinese, english in MARKERS if text and (chinese in source) != (english in text.lower())]
    print('\n'.join(problems) or f'{len(committed)} texts translated')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:]))
