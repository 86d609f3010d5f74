-- The rights the program needs on a team's server, and no more, given to the group role
-- vornadel_users. Run it as the owner of the program's tables (whoever ran
-- "vornadel-mkdb --server" or "vornadel-migrate"), in the program's database, after the tables
-- are made:
--
--   psql -v ON_ERROR_STOP=1 -d 'postgresql://admin@crm.example.com/vornadel' -f vornadel-role.sql
--
-- Then give each member of the team a login of their own in the group:
--
--   CREATE ROLE anna LOGIN IN ROLE vornadel_users;
--   \password anna
--
-- A member may connect, read and write the rows of the program's tables, take new keys from
-- their sequences and send and hear the program's change notices (LISTEN and NOTIFY need no
-- grant). Members own nothing, so they can neither change nor drop a table; new tables come
-- only from the owner, through the program's tools. Running the file again changes nothing.

DO $$
BEGIN
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'vornadel_users') THEN
        CREATE ROLE vornadel_users NOLOGIN;
    END IF;
    EXECUTE format('GRANT CONNECT ON DATABASE %I TO vornadel_users', current_database());
END
$$;

-- Before PostgreSQL 15 every role could create tables in the schema public; nobody but the
-- owner may here.
REVOKE CREATE ON SCHEMA public FROM PUBLIC;
GRANT USAGE ON SCHEMA public TO vornadel_users;

GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO vornadel_users;
GRANT USAGE, SELECT ON ALL SEQUENCES IN SCHEMA public TO vornadel_users;

-- Tables a later version of the program adds, made by the same owner, are the group's as well.
ALTER DEFAULT PRIVILEGES IN SCHEMA public GRANT SELECT, INSERT, UPDATE, DELETE ON TABLES TO vornadel_users;
ALTER DEFAULT PRIVILEGES IN SCHEMA public GRANT USAGE, SELECT ON SEQUENCES TO vornadel_users;
