#!/bin/sh
# The start script (packaging/quindelo) with stand-ins for the program and for
# quindelo-createdb: when it creates the database, and where the program runs.
# Usage: test-launcher.sh START-SCRIPT
set -u
launcher="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

# name | Arquivo.ini beside the program ("-": none) | database there before | database created
cases='no Arquivo.ini|-|no|yes
empty value|[Configuracoes]\r\nCaminhoBD=\r\n|no|yes
quotes around nothing|[Configuracoes]\nCaminhoBD=""\n|no|yes
key commented out, as shipped|[Configuracoes]\n;CaminhoBD=servidor:/dados/QUINDELO.FDB\n|no|yes
key in another section|[Outra]\nCaminhoBD=/dados/QUINDELO.FDB\n[Configuracoes]\n|no|yes
key before any section|CaminhoBD=/dados/QUINDELO.FDB\n|no|yes
server database, Windows line ends|[Configuracoes]\r\nCaminhoBD=servidor:/dados/QUINDELO.FDB\r\n|no|no
names in other case, blanks, quotes, BOM|\357\273\277 [ configuracoes ]\n  caminhobd = "/dados/Q.FDB"  \n|no|no
first key wins, an empty one|[Configuracoes]\nCaminhoBD=\nCaminhoBD=/dados/Q.FDB\n|no|yes
section without its bracket|[Configuracoes\nCaminhoBD=/dados/Q.FDB\n|no|yes
database already there|-|yes|no'

fail() {
  echo "FALHOU ($1): $2"
  failures=$((failures + 1))
}

n=0
while IFS='|' read -r name ini before created; do
  n=$((n + 1))
  case="$work/$n"
  mkdir -p "$case/programa" "$case/home"
  printf '#!/bin/sh\npwd >"%s/cwd"\necho "$@" >"%s/args"\n' "$case" "$case" >"$case/programa/quindelo"
  printf '#!/bin/sh\necho criado >"$1"\n' >"$case/programa/quindelo-createdb"
  chmod +x "$case/programa/quindelo" "$case/programa/quindelo-createdb"
  [ "$ini" = "-" ] || printf "$ini" >"$case/programa/Arquivo.ini"
  database="$case/home/Quindelo/QUINDELO.FDB"
  if [ "$before" = yes ]; then
    mkdir -p "$case/home/Quindelo"
    echo antigo >"$database"
  fi

  env -u QUINDELO_HOME HOME="$case/home" QUINDELO_PROGRAMA="$case/programa/quindelo" \
    QUINDELO_CRIABANCO="$case/programa/quindelo-createdb" "$launcher" -style Fusion >/dev/null

  [ -f "$case/args" ] || { fail "$name" "o programa não foi aberto"; continue; }
  [ "$(cat "$case/args")" = "-style Fusion" ] || fail "$name" "argumentos: $(cat "$case/args")"
  if [ "$created" = yes ]; then
    [ "$(cat "$database" 2>/dev/null)" = criado ] || fail "$name" "o banco não foi criado"
  elif [ "$before" = yes ]; then
    [ "$(cat "$database")" = antigo ] || fail "$name" "o banco existente foi mudado"
  else
    [ ! -e "$database" ] || fail "$name" "criou um banco que o Arquivo.ini não usa"
  fi
  if [ -d "$case/home/Quindelo" ]; then
    [ "$(cat "$case/cwd")" = "$case/home/Quindelo" ] || fail "$name" "pasta de trabalho $(cat "$case/cwd")"
  fi
done <<EOF
$cases
EOF

[ "$failures" -eq 0 ] && echo "$n casos, todos certos"
exit "$failures"
